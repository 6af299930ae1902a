#include "app/dialogs/frmFileInfo.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "app/dialogs/LongTextEdit.h"
#include "scene/clsScene.h"

namespace ov {

frmFileInfo::frmFileInfo(clsScene& scene, QWidget* parent) : QDialog(parent), scene_(scene) {
    setObjectName("frmFileInfo");
    setWindowTitle("Scene Notes");
    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(QString::fromStdString("Notes on " + scene.Name + ":"), this);
    // The name comes from a file name: shown as typed, never read as markup.
    caption->setTextFormat(Qt::PlainText);
    layout->addWidget(caption);
    txtInfo_ = new LongTextEdit(this);
    txtInfo_->setObjectName("txtInfo");
    txtInfo_->SetText(scene.Notes);
    shown_ = txtInfo_->Text();
    layout->addWidget(txtInfo_, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmFileInfo::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(420, 300);
}

void frmFileInfo::accept() {
    // Notes are saved with the project, so a change to them is a change of the project.
    // Compared with what was shown, which differs from the notes themselves where they hold
    // bytes that are no text: OK alone changes nothing.
    const std::string notes = txtInfo_->Text();
    if (notes != shown_) {
        scene_.Notes = notes;
        scene_.OnDirty();
    }
    QDialog::accept();
}

} // namespace ov
