#pragma once
// The About box: the program's name, what it is for, and its version.

#include <QDialog>

namespace ov {

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);
};

} // namespace ov
