#pragma once
// "Insert Function": the catalogue of names a formula may use, by category, from which
// the user picks one signature to paste into a formula box.

#include <QDialog>

#include <string>

#include "expr/FunctionCatalogue.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ov {

class frmFunctionChooser : public QDialog {
    Q_OBJECT
public:
    // customFunctions: the scene's own definitions, listed under "Custom" (none when null).
    explicit frmFunctionChooser(const FunctionList* customFunctions, QWidget* parent = nullptr);

    // The signature picked with OK or a double click; "" when nothing was picked.
    const std::string& Result() const { return result_; }

    QListWidget* CategoryList() const { return lbCategory_; }
    QListWidget* EntryList() const { return lbFncList_; }
    QLabel* NameLabel() const { return lblName_; }
    QLabel* DescriptionLabel() const { return lblDescr_; }
    QPushButton* OkButton() const { return cmOK_; }
    QPushButton* CancelButton() const { return cmCancel_; }

    void accept() override;

private:
    void ShowCategory(int row);
    void ShowEntry(int row);

    const FunctionList* custom_;
    HeaderList headers_; // of the category on show
    std::string result_;
    QListWidget* lbCategory_ = nullptr;
    QListWidget* lbFncList_ = nullptr;
    QLabel* lblName_ = nullptr;
    QLabel* lblDescr_ = nullptr;
    QPushButton* cmOK_ = nullptr;
    QPushButton* cmCancel_ = nullptr;
};

// Shows the chooser and puts the picked signature in place of the box's selected text, or
// at the caret when nothing is selected. True when something was inserted.
bool ShowFunctionChooser(QLineEdit* box, const FunctionList* customFunctions, QWidget* parent);

} // namespace ov
