#include "app/dialogs/frmExportOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

namespace ov {

frmExportOptions::frmExportOptions(ExportFormat format, const ExportOptions& initial, bool offerReference,
                                   QWidget* parent)
    : QDialog(parent), initial_(initial) {
    setObjectName("frmExportOptions");
    setWindowTitle("Export Options");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    if (format == ExportFormat::Png) AddPictureChoices(*form);
    else AddPageChoices(*form);
    chkGrid_ = AddCheck(*form, "chkGrid", "Draw the &grid", initial.Grid);
    if (offerReference && (format == ExportFormat::Pdf || format == ExportFormat::Png))
        chkReference_ = AddCheck(*form, "chkReference", "Include reference picture", initial.Reference);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName("buttons");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void frmExportOptions::AddPageChoices(QFormLayout& form) {
    cboPaper_ = new QComboBox(this);
    cboPaper_->setObjectName("cboPaper");
    for (const PaperSize& paper : PaperSizes()) cboPaper_->addItem(paper.Name);
    const PaperSize* chosen = FindPaper(initial_.Paper);
    cboPaper_->setCurrentText(chosen ? chosen->Name : "A4");
    form.addRow("&Page size:", cboPaper_);
    chkLandscape_ = AddCheck(form, "chkLandscape", "&Landscape", initial_.Landscape);
    chkFit_ = AddCheck(form, "chkFit", "&Fit to page", initial_.Fit);
    chkFrame_ = AddCheck(form, "chkFrame", "F&rame", initial_.Frame);
}

void frmExportOptions::AddPictureChoices(QFormLayout& form) {
    auto pixels = [&](const char* name, const char* caption, int value) {
        auto* box = new QSpinBox(this);
        box->setObjectName(name);
        box->setRange(1, kMaxExportPixels); // beyond that the picture would take gigabytes
        box->setSuffix(" px");
        box->setValue(value);
        form.addRow(caption, box);
        return box;
    };
    spnWidth_ = pixels("spnWidth", "&Width:", initial_.Width);
    spnHeight_ = pixels("spnHeight", "&Height:", initial_.Height);
}

QCheckBox* frmExportOptions::AddCheck(QFormLayout& form, const char* name, const char* caption, bool checked) {
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(name);
    box->setChecked(checked);
    form.addRow(box);
    return box;
}

ExportOptions frmExportOptions::Options() const {
    // What this format does not ask for stays as it was, to be offered again next time.
    ExportOptions options = initial_;
    options.Grid = chkGrid_->isChecked();
    options.Reference = chkReference_ && chkReference_->isChecked();
    if (cboPaper_) {
        options.Paper = cboPaper_->currentText().toStdString();
        options.Landscape = chkLandscape_->isChecked();
        options.Fit = chkFit_->isChecked();
        options.Frame = chkFrame_->isChecked();
    }
    if (spnWidth_) {
        options.Width = spnWidth_->value();
        options.Height = spnHeight_->value();
    }
    return options;
}

} // namespace ov
