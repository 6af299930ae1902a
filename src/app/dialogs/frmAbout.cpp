#include "app/dialogs/frmAbout.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

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
    text->setText("<h3>Orthovane</h3>"
                  "<p>Pictures in exact perspective.</p>"
                  "<p>Model line work in three dimensions, place an eye point with its view window, "
                  "and see the scene in perspective and in six orthographic views at once.</p>"
                  "<p>Project files: *.ovp</p>");
    text->setWordWrap(true);
    text->setMinimumWidth(320);
    top->addWidget(text, 1);
    layout->addLayout(top);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace ov
