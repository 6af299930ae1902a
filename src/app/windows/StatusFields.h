#pragma once
// The status area's text fields beside the transform panel: where the pointer is (or the
// size of what a drag makes), what the current tool expects next, and what is selected.

#include <QWidget>

#include <cstdint>
#include <string>

class QLabel;

namespace ov {

// What the tool expects next in a drag state of the document window's tools; with nothing
// selected a resting tool also says that the arrow keys move the eye point.
std::string ToolHint(std::int32_t tool, std::int32_t dragState, bool selection);
// "Nothing selected", "1 object selected", "3 objects selected".
std::string SelectionText(std::int32_t count);

class StatusFields : public QWidget {
    Q_OBJECT
public:
    explicit StatusFields(QWidget* parent = nullptr);

    QLabel* Pointer() const { return pointer_; }
    QLabel* Hint() const { return hint_; }
    QLabel* Selection() const { return selection_; }

    void ShowPointer(const std::string& text);
    void ShowHint(const std::string& text);
    void ShowSelection(const std::string& text);

private:
    QLabel* pointer_ = nullptr;
    QLabel* hint_ = nullptr;
    QLabel* selection_ = nullptr;
};

} // namespace ov
