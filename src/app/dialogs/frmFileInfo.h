#pragma once
// The Scene Notes box: the project's free notes in one multi-line field. OK writes them
// back into the scene (marking it changed when they differ); Cancel leaves them.

#include <QDialog>

class QPlainTextEdit;

namespace ov {

class clsScene;

class frmFileInfo : public QDialog {
    Q_OBJECT
public:
    frmFileInfo(clsScene& scene, QWidget* parent = nullptr);

    QPlainTextEdit* NotesField() const { return txtInfo_; }
    void accept() override;

private:
    clsScene& scene_;
    QPlainTextEdit* txtInfo_ = nullptr;
};

} // namespace ov
