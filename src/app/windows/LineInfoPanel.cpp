#include "app/windows/LineInfoPanel.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

#include "camera/clsPerspective.h"
#include "scene/AppState.h"
#include "scene/clsNode.h"
#include "shapes/clsLine.h"

namespace ov {

namespace {

// Below this share of the line's direction along the viewing axis the line counts as
// parallel to the picture plane: its vanishing point would lie at infinity.
constexpr double kParallelLimit = 2e-11;

QLineEdit* ReadOnlyField(QWidget* parent, const QString& name, const QString& tip) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setToolTip(tip);
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance("-0000.0000") + 8);
    field->setMaximumWidth(field->fontMetrics().horizontalAdvance("-0000000.0000") + 8);
    return field;
}

} // namespace

std::optional<LineInfo> ComputeLineInfo(const clsNode& node, const clsPerspective& camera) {
    if (node.NodeType != clsNode::Line || !node.GetLine() || !node.GetLine()->Segment) return std::nullopt;
    const clsLine3D& segment = *node.GetLine()->Segment;
    LineInfo info;
    camera.ConvertPoint(segment.StartPoint, info.Points[0], info.Points[1]);
    camera.ConvertPoint(segment.EndPoint, info.Points[2], info.Points[3]);

    clsPoint3D direction = segment.GetVector();
    direction.Normalize();
    clsPoint3D u, v, w;
    camera.GetBaseVectors(u, v, w);
    const double dw = direction.DotProduct(w);
    if (std::fabs(dw) >= kParallelLimit)
        info.Vanish = std::array<double, 2>{-camera.Distance * direction.DotProduct(u) / dw,
                                            -camera.Distance * direction.DotProduct(v) / dw};
    return info;
}

LineInfoPanel::LineInfoPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("LineStatus");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(2, 0, 2, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(1);
    grid->addWidget(new QLabel("Perspective Line Points:", this), 0, 0);
    const char* tips[4] = {"Start point u", "Start point v", "End point u", "End point v"};
    for (int i = 0; i < 4; ++i) {
        points_[i] = ReadOnlyField(this, QString("txtLineUV%1").arg(i), tips[i]);
        grid->addWidget(points_[i], 0, 1 + i);
    }
    grid->addWidget(new QLabel("Vanishing Point:", this), 1, 0);
    const char* vanishTips[2] = {"Vanishing point u", "Vanishing point v"};
    for (int i = 0; i < 2; ++i) {
        vanish_[i] = ReadOnlyField(this, QString("txtVansih%1").arg(i), vanishTips[i]);
        grid->addWidget(vanish_[i], 1, 1 + i);
    }
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(5, 1);
}

void LineInfoPanel::Fill(const clsNode* node, const clsPerspective* camera) {
    std::optional<LineInfo> info;
    if (node && camera) info = ComputeLineInfo(*node, *camera);
    for (int i = 0; i < 4; ++i)
        points_[i]->setText(info ? QString::fromStdString(FormatNumber(info->Points[i])) : QString());
    for (int i = 0; i < 2; ++i) {
        QString text;
        if (info) text = info->Vanish ? QString::fromStdString(FormatNumber((*info->Vanish)[i])) : QString("N/A");
        vanish_[i]->setText(text);
        vanish_[i]->setCursorPosition(0);
    }
}

} // namespace ov
