#include "app/windows/StatusFields.h"

#include <QLabel>
#include <QHBoxLayout>


namespace ov {

std::string SelectionText(std::int32_t count) {
    if (count <= 0) return "Nothing selected";
    return std::to_string(count) + (count == 1 ? " object selected" : " objects selected");
}

StatusFields::StatusFields(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->setSpacing(24);
    pointer_ = new QLabel(this);
    hint_ = new QLabel(this);
    selection_ = new QLabel(this);
    pointer_->setObjectName("lblPointer");
    hint_->setObjectName("lblHint");
    selection_->setObjectName("lblSelection");
    for (QLabel* label : {pointer_, hint_, selection_}) {
        label->setTextFormat(Qt::PlainText);
        layout->addWidget(label, label == hint_ ? 1 : 0);
    }
    // The position field keeps its width while the numbers change, so the hint stays put;
    // a long hint is cut rather than widening the window.
    pointer_->setMinimumWidth(pointer_->fontMetrics().horizontalAdvance("Length -000.0000   Angle -000.00\u00b0"));
    hint_->setMinimumWidth(1);
    hint_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void StatusFields::ShowPointer(const std::string& text) { pointer_->setText(QString::fromStdString(text)); }
void StatusFields::ShowHint(const std::string& text) { hint_->setText(QString::fromStdString(text)); }
void StatusFields::ShowSelection(const std::string& text) { selection_->setText(QString::fromStdString(text)); }

} // namespace ov
