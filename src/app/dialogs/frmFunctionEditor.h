#pragma once
// "Edit Functions": the scene's user-defined functions. Add, Modify and Delete change the
// scene's list at once (there is no Cancel); Import and Export exchange definitions with
// function-list files ("*.fnl").

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace ov {

class clsFncDef;
class clsScene;

class frmFunctionEditor : public QDialog {
    Q_OBJECT
public:
    explicit frmFunctionEditor(clsScene& scene, QWidget* parent = nullptr);

    // Whether the scene's list was changed while the editor was open.
    bool Changed() const { return changed_; }

    QListWidget* List() const { return lbFunctions_; }
    QLineEdit* HeaderField() const { return txtFncHeader_; }
    QLineEdit* BodyField() const { return txtFncBody_; }
    QLineEdit* DescriptionField() const { return txtFncDescr_; }
    QPushButton* AddButton() const { return cmFncAdd_; }
    QPushButton* ModifyButton() const { return cmFncModify_; }
    QPushButton* DeleteButton() const { return cmFncDelete_; }
    QPushButton* ImportButton() const { return cmFncImport_; }
    QPushButton* ExportButton() const { return cmFncExport_; }
    QPushButton* ChooserButton() const { return cmFncChooser_; }
    QPushButton* OkButton() const { return cmOK_; }

private:
    int SelectedRow() const;
    void OnSelectionChanged();
    void UpdateButtons();
    // The definition the three boxes describe; false (after telling the user) when the
    // declaration is malformed or claims a built-in name.
    bool ReadDefinition(clsFncDef& def) const;
    void OnAdd();
    void OnModify();
    void OnDelete();
    void OnImport();
    void OnExport();
    void OnChooser();
    void MarkChanged();

    clsScene& scene_;
    bool changed_ = false;
    QListWidget* lbFunctions_ = nullptr;
    QLineEdit* txtFncHeader_ = nullptr;
    QLineEdit* txtFncBody_ = nullptr;
    QLineEdit* txtFncDescr_ = nullptr;
    QPushButton* cmFncAdd_ = nullptr;
    QPushButton* cmFncModify_ = nullptr;
    QPushButton* cmFncDelete_ = nullptr;
    QPushButton* cmFncImport_ = nullptr;
    QPushButton* cmFncExport_ = nullptr;
    QPushButton* cmFncChooser_ = nullptr;
    QPushButton* cmOK_ = nullptr;
};

// Shows the function editor of the scene modally. When its list changed, the function
// objects of the scene are sampled again (their formulas may call the changed functions)
// and the views repaint; the result then is true.
bool ShowFunctionEditor(QWidget* parent, clsScene& scene);

} // namespace ov
