#pragma once
// The choices File > Export asks for after the file name, as the command line's render
// takes them: for an SVG document or a PDF page the paper, its orientation, whether the view
// is fitted to it, framed and drawn with its grid; for a PNG picture its size in pixels and
// the grid. The metafile has no choices and never shows this dialog.

#include <QDialog>

#include "render/ViewExport.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QSpinBox;

namespace ov {

class frmExportOptions : public QDialog {
    Q_OBJECT
public:
    // offerReference: the view is a perspective view of a document with a reference picture,
    // which a PDF page or a PNG picture may then show behind the line work.
    frmExportOptions(ExportFormat format, const ExportOptions& initial, bool offerReference = false,
                     QWidget* parent = nullptr);

    // The choices as the dialog shows them now.
    ExportOptions Options() const;

private:
    void AddPageChoices(QFormLayout& form);
    void AddPictureChoices(QFormLayout& form);
    QCheckBox* AddCheck(QFormLayout& form, const char* name, const char* caption, bool checked);

    ExportOptions initial_;
    QComboBox* cboPaper_ = nullptr;
    QCheckBox* chkLandscape_ = nullptr;
    QCheckBox* chkFit_ = nullptr;
    QCheckBox* chkFrame_ = nullptr;
    QCheckBox* chkGrid_ = nullptr;
    QCheckBox* chkReference_ = nullptr;
    QSpinBox* spnWidth_ = nullptr;
    QSpinBox* spnHeight_ = nullptr;
};

} // namespace ov
