#pragma once
// A plain-text field that stays quick with megabytes of text on one line. A text field lays
// out a whole paragraph before it shows any of it, so one long line takes seconds (and with
// the usual wrapping, where a word as long as the line is wrapped anywhere, minutes). Here
// lines longer than a chunk are shown as several paragraphs, each marked as the continuation
// of the one before, and joined again when the text is read back: the first screenful shows
// at once and the text comes back byte for byte.

#include <QPlainTextEdit>
#include <string>

namespace ov {

class LongTextEdit : public QPlainTextEdit {
public:
    // The most characters shown as one paragraph.
    static constexpr int kChunk = 4096;

    explicit LongTextEdit(QWidget* parent = nullptr);

    void SetText(const std::string& text);
    // The text as set or edited, with each shown line joined to the one it continues.
    std::string Text() const;
};

} // namespace ov
