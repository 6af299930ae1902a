#include "app/dialogs/frmFunctionChooser.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace ov {

namespace {

const char* const kCategories[] = {"Standard", "Constants", "Custom", "Operators", "Pseudo", "Macro"};

} // namespace

frmFunctionChooser::frmFunctionChooser(const FunctionList* customFunctions, QWidget* parent)
    : QDialog(parent), custom_(customFunctions) {
    setObjectName("frmFncChooser");
    setWindowTitle("Insert Function");

    auto* grid = new QGridLayout;
    auto* categoryCaption = new QLabel("Category", this);
    grid->addWidget(categoryCaption, 0, 0);
    lbCategory_ = new QListWidget(this);
    lbCategory_->setObjectName("lbCategory");
    for (const char* name : kCategories) lbCategory_->addItem(name);
    // Six short names: the list needs no more room than they take.
    lbCategory_->setFixedWidth(lbCategory_->sizeHintForColumn(0) + 2 * lbCategory_->frameWidth() + 24);
    categoryCaption->setBuddy(lbCategory_);
    grid->addWidget(lbCategory_, 1, 0);

    grid->addWidget(new QLabel("Functions", this), 0, 1);
    lbFncList_ = new QListWidget(this);
    lbFncList_->setObjectName("lbFncList");
    lbFncList_->setMinimumWidth(260);
    grid->addWidget(lbFncList_, 1, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);

    auto* nameRow = new QHBoxLayout;
    auto* caption = new QLabel("Function:", this);
    nameRow->addWidget(caption);
    lblName_ = new QLabel(this);
    lblName_->setObjectName("lblName");
    lblName_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Names and descriptions come from function lists: shown as written, never as markup.
    lblName_->setTextFormat(Qt::PlainText);
    QFont bold = lblName_->font();
    bold.setBold(true);
    lblName_->setFont(bold);
    nameRow->addWidget(lblName_, 1);

    lblDescr_ = new QLabel(this);
    lblDescr_->setObjectName("lblDescr");
    lblDescr_->setTextFormat(Qt::PlainText);
    lblDescr_->setWordWrap(true);
    lblDescr_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for the longest description (rand) so that the window keeps its size.
    lblDescr_->setMinimumHeight(4 * fontMetrics().lineSpacing());

    auto* buttons = new QDialogButtonBox(this);
    cmOK_ = buttons->addButton(QDialogButtonBox::Ok);
    cmOK_->setObjectName("cmOK");
    cmCancel_ = buttons->addButton(QDialogButtonBox::Cancel);
    cmCancel_->setObjectName("cmCancel");
    cmCancel_->setText("Cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &frmFunctionChooser::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(nameRow);
    layout->addWidget(lblDescr_);
    layout->addWidget(buttons);

    connect(lbCategory_, &QListWidget::currentRowChanged, this, &frmFunctionChooser::ShowCategory);
    connect(lbFncList_, &QListWidget::currentRowChanged, this, &frmFunctionChooser::ShowEntry);
    connect(lbFncList_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });

    lbCategory_->setCurrentRow(0);
    lbCategory_->setFocus();
    resize(520, 380);
}

void frmFunctionChooser::ShowCategory(int row) {
    switch (row) {
    case 0: headers_ = GetStandardHeaders(); break;
    case 1: headers_ = GetConstantHeaders(); break;
    case 2: headers_ = GetCustomHeaders(custom_); break;
    case 3: headers_ = GetOperatorHeaders(); break;
    case 4: headers_ = GetPseudoHeaders(); break;
    case 5: headers_ = GetMacroHeaders(); break;
    default: headers_.clear(); break;
    }
    // Refilling the list moves its current row; the entry shown is chosen afresh.
    QSignalBlocker block(lbFncList_);
    lbFncList_->clear();
    for (const clsFncHeader& h : headers_) lbFncList_->addItem(QString::fromStdString(h.Signature));
    lbFncList_->setCurrentRow(-1);
    ShowEntry(-1);
}

void frmFunctionChooser::ShowEntry(int row) {
    const bool valid = row >= 0 && static_cast<std::size_t>(row) < headers_.size();
    lblName_->setText(valid ? QString::fromStdString(headers_[static_cast<std::size_t>(row)].Signature) : QString());
    lblDescr_->setText(valid ? QString::fromStdString(headers_[static_cast<std::size_t>(row)].Description)
                             : QString());
    cmOK_->setEnabled(valid);
}

void frmFunctionChooser::accept() {
    const int row = lbFncList_->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= headers_.size()) return;
    result_ = headers_[static_cast<std::size_t>(row)].Signature;
    QDialog::accept();
}

bool ShowFunctionChooser(QLineEdit* box, const FunctionList* customFunctions, QWidget* parent) {
    frmFunctionChooser chooser(customFunctions, parent);
    if (chooser.exec() != QDialog::Accepted || chooser.Result().empty()) return false;
    if (!box) return false;
    // insert() replaces the selected text, if any, and leaves the caret after the insertion.
    box->insert(QString::fromStdString(chooser.Result()));
    box->setFocus();
    return true;
}

} // namespace ov
