#pragma once
// "Ellipse Properties": centre, radii, arc angles and flatness of an ellipse or arc.
// Works on a working copy: OK writes the entered values into it, Cancel leaves it alone,
// and the caller copies it back into the scene.
//
// The radii shown are lengths in the document (through the ellipse's matrix), and the
// angles shown are the polar angles of the arc's ends in the ellipse's plane, not the
// parameter angles the object keeps; OK converts both back.

#include <QDialog>
#include <QString>

#include "geometry/clsPoint3D.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ov {

class clsEllipse;

class frmEllipseProperties : public QDialog {
    Q_OBJECT
public:
    explicit frmEllipseProperties(clsEllipse& edited, QWidget* parent = nullptr);

    QLineEdit* CenterField(int axis) const { return txtCenter_[axis]; }
    QLineEdit* RadiusField(int index) const { return index == 1 ? txtRadius1_ : txtRadius2_; }
    QLineEdit* StartAngleField() const { return txtStartAngle_; }
    QLineEdit* EndAngleField() const { return txtEndAngle_; }
    QLineEdit* FlatnessField() const { return txtFlatness_; }
    QRadioButton* EllipseOption() const { return rEllipse_; }
    QRadioButton* ArcOption() const { return rArc_; }
    QPushButton* OkButton() const { return cmOK_; }
    QPushButton* CancelButton() const { return cmCancel_; }

    // Applies the entered values to the working copy and closes, or tells the user what is
    // wrong and stays open.
    void accept() override;

private:
    // A box keeps the exact value it was filled with until the user changes its text, so
    // that OK without edits does not round the object to the displayed precision.
    struct Shown {
        QLineEdit* Box = nullptr;
        QString Text;
        double Value = 0;
        double Read() const;
    };
    Shown Show(QLineEdit* box, double value, const QString& text);
    void ApplyAngleLock();

    clsEllipse& edited_;
    clsPoint3D center_;
    double displayed_[2] = {0, 0}; // document lengths of the two radii as shown

    QLineEdit* txtCenter_[3] = {nullptr, nullptr, nullptr};
    QLineEdit* txtRadius1_ = nullptr;
    QLineEdit* txtRadius2_ = nullptr;
    QLineEdit* txtStartAngle_ = nullptr;
    QLineEdit* txtEndAngle_ = nullptr;
    QLineEdit* txtFlatness_ = nullptr;
    QRadioButton* rEllipse_ = nullptr;
    QRadioButton* rArc_ = nullptr;
    QPushButton* cmOK_ = nullptr;
    QPushButton* cmCancel_ = nullptr;
    Shown centerShown_[3];
    Shown radiusShown_[2];
    Shown angleShown_[2]; // degrees
};

} // namespace ov
