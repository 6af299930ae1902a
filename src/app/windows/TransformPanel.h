#pragma once
// The transform panel of the status area: position, rotation and size of the selection in
// three rows of X, Y and Z fields, typed over and applied in absolute or relative mode.
// What the fields show and what Apply does with them are plain functions, so that the
// panel only carries text.

#include <QWidget>

#include <array>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ov {

class clsNode;

// Rows of the panel.
enum TransformRow { RowPosition = 0, RowRotation = 1, RowSize = 2 };

using TransformGrid = std::array<std::array<double, 3>, 3>;   // [row][axis]
using TransformEdited = std::array<std::array<bool, 3>, 3>;   // [row][axis]

// A single line in absolute mode shows and takes its two end points.
bool ShowsLinePoints(const clsNode& node, bool relative);
// The values the panel shows for a node measured against a reference node: the end points
// of a single line, or centre and size, or (relative) the move from the reference's
// centre and the size in per cent of the reference's; and the node's rotation.
TransformGrid TransformValues(const clsNode& node, const clsNode& reference, bool relative);
// Applies typed values to a node; only the edited fields count. The caller records the
// undo step and repaints.
void ApplyTransform(clsNode& node, const TransformGrid& values, const TransformEdited& edited, bool relative);

class TransformPanel : public QWidget {
    Q_OBJECT
public:
    explicit TransformPanel(QWidget* parent = nullptr);

    QLineEdit* Field(int row, int axis) const { return fields_[row][axis]; }
    QCheckBox* RelativeBox() const { return relative_; }
    QPushButton* ApplyButton() const { return apply_; }
    bool Relative() const;

    // The captions and pictures of the first and third rows, by image key ("Point1" and
    // "Point2", "Move" and "Stretch", or "Position" and "Size").
    void SetRowKeys(const std::string& first, const std::string& third);
    std::string RowKey(int row) const;
    // Shows a node against a reference node, or empty fields for none, in rows labelled
    // for that node.
    void Fill(const clsNode* node, const clsNode* reference);
    TransformGrid Values() const;
    const TransformEdited& Edited() const { return edited_; }

signals:
    void ApplyRequested();
    void RelativeChanged();

private:
    void SetField(int row, int axis, const std::string& text);

    std::array<std::array<QLineEdit*, 3>, 3> fields_{};
    std::array<QLabel*, 3> captions_{};
    std::array<QLabel*, 3> pictures_{};
    std::array<std::string, 3> rowKeys_{};
    QCheckBox* relative_ = nullptr;
    QPushButton* apply_ = nullptr;
    TransformEdited edited_{};
    // Raised around the panel's own writes into the fields, which are not user edits.
    int filling_ = 0;
};

} // namespace ov
