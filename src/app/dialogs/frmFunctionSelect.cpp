#include "app/dialogs/frmFunctionSelect.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace ov {

frmFunctionSelect::frmFunctionSelect(const FunctionList& offered, QWidget* parent)
    : QDialog(parent), offered_(offered) {
    setObjectName("frmFncList");
    setWindowTitle("Select Functions");

    auto* caption = new QLabel("Function List:", this);
    lbFunctions_ = new QListWidget(this);
    lbFunctions_->setObjectName("lbFunctions");
    // A click toggles one line, as with check marks; no modifier keys are needed.
    lbFunctions_->setSelectionMode(QAbstractItemView::MultiSelection);
    for (const clsFncDef& def : offered) {
        auto* item = new QListWidgetItem(QString::fromStdString(def.GetNameArgs()), lbFunctions_);
        // Tool tips take text that looks like markup as markup; a formula is shown as written.
        item->setToolTip(Qt::convertFromPlainText(QString::fromStdString(def.Body)));
    }
    lbFunctions_->selectAll();
    caption->setBuddy(lbFunctions_);

    auto* side = new QVBoxLayout;
    cmAll_ = new QPushButton("All", this);
    cmAll_->setObjectName("cmAll");
    cmNon_ = new QPushButton("None", this);
    cmNon_->setObjectName("cmNon");
    side->addWidget(cmAll_);
    side->addWidget(cmNon_);
    side->addStretch(1);
    connect(cmAll_, &QPushButton::clicked, lbFunctions_, &QListWidget::selectAll);
    connect(cmNon_, &QPushButton::clicked, lbFunctions_, &QListWidget::clearSelection);

    auto* middle = new QHBoxLayout;
    middle->addWidget(lbFunctions_, 1);
    middle->addLayout(side);

    auto* buttons = new QDialogButtonBox(this);
    cmOk_ = buttons->addButton(QDialogButtonBox::Ok);
    cmOk_->setObjectName("cmOk");
    cmCancel_ = buttons->addButton(QDialogButtonBox::Cancel);
    cmCancel_->setObjectName("cmCancel");
    cmCancel_->setText("Cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addLayout(middle, 1);
    layout->addWidget(buttons);
    resize(360, 300);
}

FunctionList frmFunctionSelect::Picked() const {
    FunctionList picked;
    for (int i = 0; i < lbFunctions_->count() && static_cast<std::size_t>(i) < offered_.size(); ++i)
        if (lbFunctions_->item(i)->isSelected()) picked.push_back(offered_[static_cast<std::size_t>(i)]);
    return picked;
}

std::optional<FunctionList> SelectFunctions(const FunctionList& offered, QWidget* parent) {
    frmFunctionSelect dialog(offered, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Picked();
}

} // namespace ov
