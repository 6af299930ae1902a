#include "app/dialogs/frmUserGuide.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace ov {

frmUserGuide::frmUserGuide(const QString& path, QWidget* parent) : QDialog(parent) {
    setObjectName("frmUserGuide");
    setWindowTitle("Orthovane User Guide");
    auto* layout = new QVBoxLayout(this);
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(true);
    browser_->setSource(QUrl::fromLocalFile(path));
    layout->addWidget(browser_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(720, 640);
}

QString frmUserGuide::UserGuidePath() {
    // The program is PREFIX/bin/orthovane once installed, build/src/app/orthovane in the
    // build tree; the test programs live one level deeper than that.
    const QDir program(QCoreApplication::applicationDirPath());
    for (const char* up : {"..", "../..", "../../.."}) {
        const QString path = program.filePath(QString(up) + "/share/doc/orthovane/user-guide.html");
        if (QFileInfo(path).isFile()) return QFileInfo(path).canonicalFilePath();
    }
    return {};
}

} // namespace ov
