#pragma once
// View > Match Camera: the panel of the camera-matching mode. While it is open, presses in
// the document's perspective view mark edges on the reference picture (see
// CameraMatchSession); the panel chooses what the next press marks, shows the camera the
// marks give or why there is none, and Apply makes it the scene's camera as one undo step.

#include <QDialog>
#include <memory>

#include "app/windows/CameraMatchSession.h"

class QButtonGroup;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace ov {

class clsScene;
class frmDocument;

class frmMatchCamera : public QDialog {
    Q_OBJECT
public:
    frmMatchCamera(frmDocument& document, clsScene& scene);
    ~frmMatchCamera() override;

    CameraMatchSession& Session() { return session_; }
    // Solves again and shows the outcome; called whenever a mark changes.
    void Refresh();
    // The text under the choices: the camera found, or why there is none.
    QString Outcome() const;

private:
    void OnApply();
    void OnClear();
    const clsView* PerspectiveView() const;

    frmDocument& document_;
    clsScene& scene_;
    CameraMatchSession session_;
    QButtonGroup* elements_ = nullptr;
    QDoubleSpinBox* spnLength_ = nullptr;
    QLabel* lblOutcome_ = nullptr;
    QPushButton* cmApply_ = nullptr;
};

} // namespace ov
