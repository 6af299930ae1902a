#pragma once
// View > Reference Picture: the picture file behind the perspective views, how opaque it is
// drawn and where it sits in the camera's view window. An empty file name (or Remove) takes
// the picture away.

#include <QDialog>

#include "scene/ReferencePicture.h"

class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

namespace ov {

class frmReferencePicture : public QDialog {
    Q_OBJECT
public:
    explicit frmReferencePicture(const ReferencePicture& initial, QWidget* parent = nullptr);

    // The picture as the dialog holds it; no path means none.
    ReferencePicture Picture() const;

    void accept() override;

private:
    void OnBrowse();
    void OnRemove();
    QDoubleSpinBox* AddPercent(const char* name, double min, double max, double value);

    ReferencePicture initial_;
    QLineEdit* txtPath_ = nullptr;
    QSpinBox* spnOpacity_ = nullptr;
    QDoubleSpinBox* spnShiftX_ = nullptr;
    QDoubleSpinBox* spnShiftY_ = nullptr;
    QDoubleSpinBox* spnScale_ = nullptr;
};

} // namespace ov
