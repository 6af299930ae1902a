#include "app/dialogs/frmReferencePicture.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/Desktop.h"
#include "platform/Prompt.h"
#include "render/ReferenceImages.h"

namespace ov {

namespace {

const char* const kPictureFilter = "Pictures (*.png;*.jpg;*.jpeg)|*.png;*.jpg;*.jpeg|All Files (*.*)|*.*";

} // namespace

frmReferencePicture::frmReferencePicture(const ReferencePicture& initial, QWidget* parent)
    : QDialog(parent), initial_(initial) {
    setObjectName("frmReferencePicture");
    setWindowTitle("Reference Picture");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    txtPath_ = new QLineEdit(QString::fromStdString(initial.Path), this);
    txtPath_->setObjectName("txtPath");
    txtPath_->setMinimumWidth(320);
    auto* browse = new QPushButton("&Browse...", this);
    browse->setObjectName("cmBrowse");
    connect(browse, &QPushButton::clicked, this, &frmReferencePicture::OnBrowse);
    auto* file = new QHBoxLayout;
    file->addWidget(txtPath_, 1);
    file->addWidget(browse);
    auto* label = new QLabel("&Picture:", this); // a row of a layout takes no buddy of its own
    label->setBuddy(txtPath_);
    form->addRow(label, file);

    spnOpacity_ = new QSpinBox(this);
    spnOpacity_->setObjectName("spnOpacity");
    spnOpacity_->setRange(0, 100);
    spnOpacity_->setSuffix(" %");
    spnOpacity_->setValue(static_cast<int>(initial.Opacity * 100 + 0.5));
    form->addRow("&Opacity:", spnOpacity_);
    spnShiftX_ = AddPercent("spnShiftX", -1000, 1000, initial.ShiftX * 100);
    form->addRow("Shift &right:", spnShiftX_);
    spnShiftY_ = AddPercent("spnShiftY", -1000, 1000, initial.ShiftY * 100);
    form->addRow("Shift &up:", spnShiftY_);
    spnScale_ = AddPercent("spnScale", 1, 10000, initial.Scale * 100);
    form->addRow("&Size:", spnScale_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* remove = buttons->addButton("&Remove", QDialogButtonBox::ResetRole);
    remove->setObjectName("cmRemove");
    connect(remove, &QPushButton::clicked, this, &frmReferencePicture::OnRemove);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmReferencePicture::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QDoubleSpinBox* frmReferencePicture::AddPercent(const char* name, double min, double max, double value) {
    auto* box = new QDoubleSpinBox(this);
    box->setObjectName(name);
    box->setRange(min, max);
    box->setDecimals(1);
    box->setSuffix(" %");
    box->setValue(value);
    return box;
}

void frmReferencePicture::OnBrowse() {
    const std::string path = ShowFileDialog("Reference Picture", "", txtPath_->text().toStdString(), kPictureFilter, true);
    if (!path.empty()) txtPath_->setText(QString::fromStdString(path));
}

void frmReferencePicture::OnRemove() {
    txtPath_->clear();
    QDialog::accept();
}

ReferencePicture frmReferencePicture::Picture() const {
    ReferencePicture picture = initial_;
    const QString typed = txtPath_->text().trimmed();
    if (typed.isEmpty()) return ReferencePicture();
    // A name typed relative to the program's folder would mean another file once the project
    // keeps it relative to its own.
    picture.Path = QFileInfo(typed).absoluteFilePath().toStdString();
    picture.Opacity = spnOpacity_->value() / 100.0;
    picture.ShiftX = spnShiftX_->value() / 100;
    picture.ShiftY = spnShiftY_->value() / 100;
    picture.Scale = spnScale_->value() / 100;
    return picture;
}

void frmReferencePicture::accept() {
    const ReferencePicture picture = Picture();
    std::string reason;
    // A picture that was already chosen may have gone missing; the dialog keeps it, as loading does.
    if (picture.IsSet() && picture.Path != initial_.Path && !CanReadPicture(picture.Path, reason)) {
        ShowMessage("Unable to read the picture '" + picture.Path + "': " + reason, PromptIcon::Critical);
        return;
    }
    QDialog::accept();
}

} // namespace ov
