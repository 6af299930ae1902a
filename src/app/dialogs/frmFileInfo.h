#pragma once
// The Scene Notes box: the project's free notes in one multi-line field, quick with megabytes. OK writes them
// back into the scene (marking it changed when they differ); Cancel leaves them.

#include <QDialog>
#include <string>

#include "app/dialogs/LongTextEdit.h"

namespace ov {

class clsScene;

class frmFileInfo : public QDialog {
    Q_OBJECT
public:
    frmFileInfo(clsScene& scene, QWidget* parent = nullptr);

    LongTextEdit* NotesField() const { return txtInfo_; }
    void accept() override;

private:
    clsScene& scene_;
    LongTextEdit* txtInfo_ = nullptr;
    std::string shown_; // the notes as the field showed them at first
};

} // namespace ov
