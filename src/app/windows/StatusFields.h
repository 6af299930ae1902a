#pragma once
// The status area's text fields beside the transform panel: where the pointer is (or the
// size of what a drag makes), what the current tool expects next, and what is selected.

#include <QWidget>

#include <cstdint>
#include <string>

class QLabel;

namespace ov {

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
