#include "app/windows/TransformPanel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/windows/AppIcons.h"
#include "scene/AppState.h"
#include "scene/clsNode.h"
#include "shapes/clsLine.h"

namespace ov {

namespace {

double& Axis(clsPoint3D& p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }
double Axis(const clsPoint3D& p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }

QString Caption(const std::string& key) {
    if (key == "Point1") return "Point 1";
    if (key == "Point2") return "Point 2";
    return QString::fromStdString(key);
}

} // namespace

bool ShowsLinePoints(const clsNode& node, bool relative) {
    return !relative && node.NodeType == clsNode::Line && node.GetLine() && node.GetLine()->Segment;
}

TransformGrid TransformValues(const clsNode& node, const clsNode& reference, bool relative) {
    TransformGrid values{};
    clsPoint3D first, third;
    if (ShowsLinePoints(node, relative)) {
        first = node.GetLine()->Segment->StartPoint;
        third = node.GetLine()->Segment->EndPoint;
    } else if (!relative) {
        first = node.GetCenterPosition();
        third = node.GetSize();
    } else {
        first = node.GetCenterPosition();
        first.Subtract(reference.GetCenterPosition());
        const clsPoint3D size = node.GetSize();
        const clsPoint3D referenceSize = reference.GetSize();
        for (int axis = 0; axis < 3; ++axis) {
            const double r = Axis(referenceSize, axis);
            Axis(third, axis) = r == 0 ? 100.0 : 100.0 * Axis(size, axis) / r;
        }
    }
    for (int axis = 0; axis < 3; ++axis) {
        values[RowPosition][axis] = Axis(first, axis);
        values[RowSize][axis] = Axis(third, axis);
    }
    values[RowRotation] = {node.RotateX, node.RotateY, node.RotateZ};
    return values;
}

void ApplyTransform(clsNode& node, const TransformGrid& values, const TransformEdited& edited, bool relative) {
    if (ShowsLinePoints(node, relative)) {
        clsPoint3D start = node.GetLine()->Segment->StartPoint;
        clsPoint3D end = node.GetLine()->Segment->EndPoint;
        for (int axis = 0; axis < 3; ++axis) {
            if (edited[RowPosition][axis]) Axis(start, axis) = values[RowPosition][axis];
            if (edited[RowSize][axis]) Axis(end, axis) = values[RowSize][axis];
        }
        node.SetLinePoints(start.x, start.y, start.z, end.x, end.y, end.z);
        return;
    }

    const clsPoint3D reference = node.GetCenterPosition();
    const clsPoint3D size = node.GetSize();
    std::array<double, 3> factor{1, 1, 1};
    clsPoint3D move;
    for (int axis = 0; axis < 3; ++axis) {
        if (edited[RowSize][axis]) {
            const double value = values[RowSize][axis];
            double f = 1;
            if (relative) f = value / 100.0;
            else if (Axis(size, axis) != 0) f = value / Axis(size, axis);
            factor[axis] = f == 0 ? 1 : f;
        }
        if (edited[RowPosition][axis]) {
            const double value = values[RowPosition][axis];
            Axis(move, axis) = relative ? value : value - Axis(reference, axis);
        }
    }
    // Identity steps are skipped: turning or scaling about a centre by nothing still rounds
    // the coordinates.
    if (factor[0] != 1 || factor[1] != 1 || factor[2] != 1) node.Stretch(factor[0], factor[1], factor[2], &reference);
    node.TranslateByPoint(move);

    std::array<double, 3> turn{0, 0, 0};
    const std::array<double, 3> current{node.RotateX, node.RotateY, node.RotateZ};
    for (int axis = 0; axis < 3; ++axis)
        if (edited[RowRotation][axis])
            turn[axis] = relative ? values[RowRotation][axis] : values[RowRotation][axis] - current[axis];
    if (turn[0] != 0 || turn[1] != 0 || turn[2] != 0) {
        const clsPoint3D centre = node.GetCenterPosition();
        if (relative) node.RotateRel(turn[0], turn[1], turn[2], &centre);
        else
            node.SetRotation(current[0] + turn[0], current[1] + turn[1], current[2] + turn[2], &centre);
    }
}

TransformPanel::TransformPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("TransformPanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(2, 0, 2, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(1);
    const char* axes[3] = {"X", "Y", "Z"};
    const char* rowNames[3] = {"txtPosition", "txtRotation", "txtSize"};
    for (int axis = 0; axis < 3; ++axis) {
        auto* header = new QLabel(axes[axis], this);
        header->setAlignment(Qt::AlignCenter);
        grid->addWidget(header, 0, 2 + axis);
    }
    for (int row = 0; row < 3; ++row) {
        pictures_[row] = new QLabel(this);
        captions_[row] = new QLabel(this);
        captions_[row]->setMinimumWidth(captions_[row]->fontMetrics().horizontalAdvance("Position  "));
        grid->addWidget(pictures_[row], row + 1, 0);
        grid->addWidget(captions_[row], row + 1, 1);
        for (int axis = 0; axis < 3; ++axis) {
            auto* field = new QLineEdit(this);
            field->setObjectName(QString("%1%2").arg(rowNames[row]).arg(axes[axis]));
            field->setMinimumWidth(field->fontMetrics().horizontalAdvance("-00000.0000") + 8);
            field->setMaximumWidth(field->fontMetrics().horizontalAdvance("-000000000.0000") + 8);
            field->setToolTip(QString("%1 %2").arg(row == RowRotation ? "Rotation" : "Value").arg(axes[axis]));
            connect(field, &QLineEdit::textChanged, this, [this, row, axis] {
                if (filling_ == 0) edited_[row][axis] = true;
            });
            connect(field, &QLineEdit::returnPressed, this, &TransformPanel::ApplyRequested);
            fields_[row][axis] = field;
            grid->addWidget(field, row + 1, 2 + axis);
        }
    }
    pictures_[RowRotation]->setPixmap(RowImage("Rotation").pixmap(16, 16));
    captions_[RowRotation]->setText("Rotation");
    rowKeys_[RowRotation] = "Rotation";

    relative_ = new QCheckBox("Relative", this);
    relative_->setObjectName("cRelative");
    apply_ = new QPushButton("Apply", this);
    apply_->setObjectName("cmApply");
    grid->addWidget(relative_, 1, 5);
    grid->addWidget(apply_, 2, 5);
    connect(relative_, &QCheckBox::toggled, this, &TransformPanel::RelativeChanged);
    connect(apply_, &QPushButton::clicked, this, &TransformPanel::ApplyRequested);
    SetRowKeys("Position", "Size");
}

bool TransformPanel::Relative() const { return relative_->isChecked(); }

void TransformPanel::SetRowKeys(const std::string& first, const std::string& third) {
    const std::pair<int, const std::string*> rows[2] = {{RowPosition, &first}, {RowSize, &third}};
    for (const auto& [row, key] : rows) {
        rowKeys_[row] = *key;
        captions_[row]->setText(Caption(*key));
        pictures_[row]->setPixmap(RowImage(QString::fromStdString(*key)).pixmap(16, 16));
    }
}

std::string TransformPanel::RowKey(int row) const { return rowKeys_.at(row); }

void TransformPanel::SetField(int row, int axis, const std::string& text) {
    ++filling_;
    fields_[row][axis]->setText(QString::fromStdString(text));
    fields_[row][axis]->setCursorPosition(0);
    --filling_;
}

void TransformPanel::Fill(const clsNode* node, const clsNode* reference) {
    // The rows are labelled for the node whose values they show.
    if (node && ShowsLinePoints(*node, Relative())) SetRowKeys("Point1", "Point2");
    else if (Relative()) SetRowKeys("Move", "Stretch");
    else SetRowKeys("Position", "Size");
    if (!node) {
        for (int row = 0; row < 3; ++row)
            for (int axis = 0; axis < 3; ++axis) SetField(row, axis, "");
    } else {
        const TransformGrid values = TransformValues(*node, reference ? *reference : *node, Relative());
        for (int row = 0; row < 3; ++row)
            for (int axis = 0; axis < 3; ++axis) SetField(row, axis, FormatNumber(values[row][axis]));
    }
    edited_ = {};
}

TransformGrid TransformPanel::Values() const {
    TransformGrid values{};
    for (int row = 0; row < 3; ++row)
        for (int axis = 0; axis < 3; ++axis)
            values[row][axis] = ParseNumber(fields_[row][axis]->text().toStdString());
    return values;
}

} // namespace ov
