#pragma once
// "Select Functions": the user picks some of a list of definitions, for instance which
// ones to export to or import from a function-list file.

#include <QDialog>

#include <optional>

#include "expr/FunctionListContext.h"

class QListWidget;
class QPushButton;

namespace ov {

class frmFunctionSelect : public QDialog {
    Q_OBJECT
public:
    // Every offered definition starts picked.
    explicit frmFunctionSelect(const FunctionList& offered, QWidget* parent = nullptr);

    // The picked definitions in the order offered.
    FunctionList Picked() const;

    QListWidget* List() const { return lbFunctions_; }
    QPushButton* AllButton() const { return cmAll_; }
    QPushButton* NoneButton() const { return cmNon_; }
    QPushButton* OkButton() const { return cmOk_; }
    QPushButton* CancelButton() const { return cmCancel_; }

private:
    const FunctionList& offered_;
    QListWidget* lbFunctions_ = nullptr;
    QPushButton* cmAll_ = nullptr;
    QPushButton* cmNon_ = nullptr;
    QPushButton* cmOk_ = nullptr;
    QPushButton* cmCancel_ = nullptr;
};

// The definitions the user picks of offered (possibly none), or nothing after Cancel.
std::optional<FunctionList> SelectFunctions(const FunctionList& offered, QWidget* parent);

} // namespace ov
