#include "app/dialogs/frmFunctionEditor.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <string>

#include "app/dialogs/frmFunctionChooser.h"
#include "app/dialogs/frmFunctionSelect.h"
#include "expr/FunctionCatalogue.h"
#include "expr/FunctionListFile.h"
#include "platform/Desktop.h"
#include "platform/Prompt.h"
#include "scene/clsScene.h"
#include "shapes/clsFunction.h"

namespace ov {

namespace {

const char* const kFilter = "Function List (*.fnl)|*.fnl";

std::string Trimmed(const QLineEdit* box) { return box->text().trimmed().toStdString(); }

QPushButton* Button(const char* text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    // Return in a text box must not press a button: the boxes are edited over several
    // steps, and the editor's changes take effect only through Add and Modify.
    button->setAutoDefault(false);
    return button;
}

// Every function object of the tree forgets its curve: its formulas may call a changed
// scene function.
void ResampleFunctions(clsNode* node) {
    for (clsNode* child = node->FirstChild(); child; child = child->NextSibling()) {
        if (auto* function = dynamic_cast<clsFunction*>(child->Object.get())) function->ClearCache();
        ResampleFunctions(child);
    }
}

} // namespace

frmFunctionEditor::frmFunctionEditor(clsScene& scene, QWidget* parent) : QDialog(parent), scene_(scene) {
    setObjectName("frmFncEditor");
    setWindowTitle("Edit Functions");

    auto* listCaption = new QLabel("Functions:", this);
    lbFunctions_ = new QListWidget(this);
    lbFunctions_->setObjectName("lbFunctions");
    lbFunctions_->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const clsFncDef& def : scene_.Functions) lbFunctions_->addItem(QString::fromStdString(def.GetNameArgs()));
    listCaption->setBuddy(lbFunctions_);

    cmFncAdd_ = Button("Add", "cmFncAdd", this);
    cmFncModify_ = Button("Modify", "cmFncModify", this);
    cmFncDelete_ = Button("Delete", "cmFncDelete", this);
    cmFncImport_ = Button("Import...", "cmFncImport", this);
    cmFncExport_ = Button("Export...", "cmFncExport", this);
    auto* side = new QVBoxLayout;
    side->addWidget(cmFncAdd_);
    side->addWidget(cmFncModify_);
    side->addWidget(cmFncDelete_);
    side->addSpacing(fontMetrics().height());
    side->addWidget(cmFncImport_);
    side->addWidget(cmFncExport_);
    side->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addWidget(lbFunctions_, 1);
    top->addLayout(side);

    auto* form = new QGridLayout;
    auto addRow = [&](int row, const char* caption, QLineEdit*& box, const char* name) {
        auto* label = new QLabel(caption, this);
        box = new QLineEdit(this);
        box->setObjectName(name);
        label->setBuddy(box);
        form->addWidget(label, row, 0);
        form->addWidget(box, row, 1);
    };
    addRow(0, "Declaration:", txtFncHeader_, "txtFncHeader");
    addRow(1, "Body:", txtFncBody_, "txtFncBody");
    addRow(2, "Description:", txtFncDescr_, "txtFncDescr");
    cmFncChooser_ = Button("Insert Function", "cmFncChooser", this);
    // Clicking must leave the focus, and so the selected text, in the body box.
    cmFncChooser_->setFocusPolicy(Qt::TabFocus);
    form->addWidget(cmFncChooser_, 1, 2);
    form->setColumnStretch(1, 1);

    // A plain button rather than a button box, which would make OK the default button.
    cmOK_ = Button("OK", "cmOK", this);
    cmOK_->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(cmOK_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(listCaption);
    layout->addLayout(top, 1);
    layout->addLayout(form);
    layout->addLayout(bottom);

    connect(lbFunctions_, &QListWidget::itemSelectionChanged, this, &frmFunctionEditor::OnSelectionChanged);
    for (QLineEdit* box : {txtFncHeader_, txtFncBody_, txtFncDescr_})
        connect(box, &QLineEdit::textChanged, this, &frmFunctionEditor::UpdateButtons);
    connect(cmFncAdd_, &QPushButton::clicked, this, &frmFunctionEditor::OnAdd);
    connect(cmFncModify_, &QPushButton::clicked, this, &frmFunctionEditor::OnModify);
    connect(cmFncDelete_, &QPushButton::clicked, this, &frmFunctionEditor::OnDelete);
    connect(cmFncImport_, &QPushButton::clicked, this, &frmFunctionEditor::OnImport);
    connect(cmFncExport_, &QPushButton::clicked, this, &frmFunctionEditor::OnExport);
    connect(cmFncChooser_, &QPushButton::clicked, this, &frmFunctionEditor::OnChooser);
    connect(cmOK_, &QPushButton::clicked, this, &QDialog::accept);

    UpdateButtons();
    resize(560, 420);
}

int frmFunctionEditor::SelectedRow() const {
    const QList<QListWidgetItem*> selected = lbFunctions_->selectedItems();
    return selected.isEmpty() ? -1 : lbFunctions_->row(selected.first());
}

void frmFunctionEditor::OnSelectionChanged() {
    const int row = SelectedRow();
    if (row >= 0 && static_cast<std::size_t>(row) < scene_.Functions.size()) {
        const clsFncDef& def = scene_.Functions[static_cast<std::size_t>(row)];
        txtFncHeader_->setText(QString::fromStdString(def.GetNameArgs()));
        txtFncBody_->setText(QString::fromStdString(def.Body));
        txtFncDescr_->setText(QString::fromStdString(def.Description));
    }
    UpdateButtons();
}

void frmFunctionEditor::UpdateButtons() {
    const bool complete = !Trimmed(txtFncHeader_).empty() && !Trimmed(txtFncBody_).empty();
    const bool selected = SelectedRow() >= 0;
    cmFncAdd_->setEnabled(complete);
    cmFncModify_->setEnabled(complete && selected);
    cmFncDelete_->setEnabled(selected);
    cmFncExport_->setEnabled(lbFunctions_->count() > 0);
}

bool frmFunctionEditor::ReadDefinition(clsFncDef& def) const {
    if (!def.ParseName(Trimmed(txtFncHeader_))) {
        ShowMessage("Error in function declaration", PromptIcon::Critical);
        return false;
    }
    if (IsNameReserved(def.Name)) return false;
    def.Body = Trimmed(txtFncBody_);
    def.Description = Trimmed(txtFncDescr_);
    return true;
}

void frmFunctionEditor::OnAdd() {
    if (!cmFncAdd_->isEnabled()) return;
    clsFncDef def;
    if (!ReadDefinition(def)) return;
    scene_.Functions.push_back(def);
    lbFunctions_->addItem(QString::fromStdString(def.GetNameArgs()));
    MarkChanged();
    UpdateButtons();
}

void frmFunctionEditor::OnModify() {
    const int row = SelectedRow();
    if (!cmFncModify_->isEnabled() || row < 0 || static_cast<std::size_t>(row) >= scene_.Functions.size()) return;
    clsFncDef def;
    if (!ReadDefinition(def)) return;
    clsFncDef& target = scene_.Functions[static_cast<std::size_t>(row)];
    target.Name = def.Name;
    target.Params = def.Params;
    target.Body = def.Body;
    target.Description = def.Description;
    lbFunctions_->item(row)->setText(QString::fromStdString(target.GetNameArgs()));
    MarkChanged();
    UpdateButtons();
}

void frmFunctionEditor::OnDelete() {
    const int row = SelectedRow();
    if (row < 0 || static_cast<std::size_t>(row) >= scene_.Functions.size()) return;
    scene_.Functions.erase(scene_.Functions.begin() + row);
    {
        // No other line becomes selected: a second Delete must not remove a neighbour.
        QSignalBlocker block(lbFunctions_);
        delete lbFunctions_->takeItem(row);
        lbFunctions_->clearSelection();
        lbFunctions_->setCurrentRow(-1);
    }
    MarkChanged();
    UpdateButtons();
}

void frmFunctionEditor::OnImport() {
    const std::string path = ShowFileDialog("Import Function List", "fnl", "", kFilter, true);
    if (path.empty()) return;
    FunctionList read;
    std::string message;
    if (!ReadFunctionListFile(path, read, message)) {
        ShowMessage(message, PromptIcon::Critical, message == "Invalid function list file" ? "Error" : "");
        return;
    }
    const std::optional<FunctionList> picked = SelectFunctions(read, this);
    if (!picked || picked->empty()) return;
    for (const clsFncDef& def : *picked) {
        scene_.Functions.push_back(def);
        lbFunctions_->addItem(QString::fromStdString(def.GetNameArgs()));
    }
    MarkChanged();
    UpdateButtons();
}

void frmFunctionEditor::OnExport() {
    const std::optional<FunctionList> picked = SelectFunctions(scene_.Functions, this);
    if (!picked || picked->empty()) return;
    const std::string path = ShowFileDialog("Export Function List", "fnl", "", kFilter, false);
    if (path.empty()) return;
    std::string message;
    if (!WriteFunctionListFile(path, *picked, message)) ShowMessage(message, PromptIcon::Critical);
}

void frmFunctionEditor::OnChooser() { ShowFunctionChooser(txtFncBody_, &scene_.Functions, this); }

void frmFunctionEditor::MarkChanged() {
    changed_ = true;
    scene_.OnDirty();
}

bool ShowFunctionEditor(QWidget* parent, clsScene& scene) {
    frmFunctionEditor editor(scene, parent);
    editor.exec();
    if (!editor.Changed()) return false;
    if (clsNode* root = scene.GetRootNode()) ResampleFunctions(root);
    scene.UpdateViews();
    return true;
}

} // namespace ov
