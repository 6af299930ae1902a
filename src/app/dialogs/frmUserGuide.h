#pragma once
// The user guide shipped with the program, shown in a window of its own: help that needs no
// network and no browser.

#include <QDialog>
#include <QString>

class QTextBrowser;

namespace ov {

class frmUserGuide : public QDialog {
    Q_OBJECT
public:
    // path: the guide's HTML file (see UserGuidePath).
    frmUserGuide(const QString& path, QWidget* parent = nullptr);
    QTextBrowser* Browser() const { return browser_; }

    // Where the guide is: beside the program's share folder when installed
    // (PREFIX/bin and PREFIX/share/doc/orthovane), or in the build tree's share folder when the
    // program runs from there. Empty when it is nowhere.
    static QString UserGuidePath();

private:
    QTextBrowser* browser_;
};

} // namespace ov
