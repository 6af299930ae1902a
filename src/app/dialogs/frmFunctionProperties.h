#pragma once
// "Parametric Function Properties": the formulas X(t), Y(t), Z(t) and the range T From,
// T To, T Step of a parametric curve. Works on a working copy whose formulas follow the
// boxes as the user types; a status line shows what the box being edited evaluates to.
// OK verifies the range and the three formulas at every parameter value the curve will be
// sampled at, so that no error surfaces later while drawing; Esc stops a long verification.

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ov {

class clsError;
class clsFunction;
class clsScene;

class frmFunctionProperties : public QDialog {
    Q_OBJECT
public:
    enum Field { FieldX, FieldY, FieldZ, FieldFrom, FieldTo, FieldStep, FieldCount };

    // edited: the working copy, bound to scene.
    frmFunctionProperties(clsFunction& edited, clsScene& scene, QWidget* parent = nullptr);

    QLineEdit* FieldBox(int field) const { return txtFncBody_[field]; }
    QPushButton* ChooserButton(int field) const { return cmFncChooser_[field]; }
    QLabel* StatusLine() const { return lblStatus_; }
    QPushButton* OkButton() const { return cmOK_; }
    QPushButton* CancelButton() const { return cmCancel_; }

    // Verifies the input; OK closes only when it holds, otherwise the message is shown.
    void accept() override;
    // The range and the formulas over the whole range; on failure the error holds why.
    // Leaves TFrom, TTo and TStep of the working copy set to the computed range.
    bool VerifyInput(clsError& error);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnEdited(int field);
    void ShowStatus(int field);
    bool VerifyT(clsError& error);
    bool VerifyFunc(const char* name, clsError& error);

    clsFunction& edited_;
    clsScene& scene_;
    bool verifying_ = false;
    QLineEdit* txtFncBody_[FieldCount] = {};
    QPushButton* cmFncChooser_[3] = {};
    QLabel* lblStatus_ = nullptr;
    QPushButton* cmOK_ = nullptr;
    QPushButton* cmCancel_ = nullptr;
};

} // namespace ov
