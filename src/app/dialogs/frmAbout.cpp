#include "app/dialogs/frmAbout.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "Version.h"
#include "app/windows/AppIcons.h"

namespace ov {

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    setWindowTitle("About Orthovane");
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* picture = new QLabel(this);
    picture->setPixmap(ToolbarIcon("Perspective").pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop);
    top->addWidget(picture);
    auto* text = new QLabel(this);
    text->setObjectName("lblAbout");
    text->setTextFormat(Qt::RichText);
    text->setText(QString("<h3>Orthovane</h3>"
                          "<p>Version %1</p>"
                          "<p>Pictures in exact perspective.</p>"
                          "<p>Model line work in three dimensions, place an eye point with its view window, "
                          "and see the scene at once in a perspective view and in orthographic views "
                          "from any of the six sides.</p>"
                          "<p>Project files: *.ovp. Help &gt; User Guide (F1) explains the program; "
                          "orthovane-cli works on projects without a window.</p>")
                      .arg(kVersion));
    text->setWordWrap(true);
    text->setMinimumWidth(320);
    top->addWidget(text, 1);
    layout->addLayout(top);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace ov
