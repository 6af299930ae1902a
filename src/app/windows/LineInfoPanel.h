#pragma once
// The line-information panel of the status area: where a selected line's end points land
// in the perspective picture, and its vanishing point.

#include <QWidget>

#include <array>
#include <optional>

class QLineEdit;

namespace ov {

class clsNode;
class clsPerspective;

struct LineInfo {
    std::array<double, 4> Points{}; // u and v of the start point, u and v of the end point
    // u and v of the vanishing point; none for a line parallel to the picture plane.
    std::optional<std::array<double, 2>> Vanish;
};

// The information for a single line; none for any other node.
std::optional<LineInfo> ComputeLineInfo(const clsNode& node, const clsPerspective& camera);

class LineInfoPanel : public QWidget {
    Q_OBJECT
public:
    explicit LineInfoPanel(QWidget* parent = nullptr);

    QLineEdit* PointField(int index) const { return points_[index]; }
    QLineEdit* VanishField(int index) const { return vanish_[index]; }
    // Shows a line (empty fields for no node or one that is not a single line).
    void Fill(const clsNode* node, const clsPerspective* camera);

private:
    std::array<QLineEdit*, 4> points_{};
    std::array<QLineEdit*, 2> vanish_{};
};

} // namespace ov
