#include "app/dialogs/LongTextEdit.h"

#include <QTextBlock>
#include <vector>

namespace ov {

namespace {

// The mark of a paragraph that continues the line of the one before it. A paragraph that
// the user makes with Enter starts without it, as a line of its own.
constexpr int kContinues = 1;

// Where to end a piece of a long line that starts at from: after the last blank within a
// chunk, so that words stay whole where the line has blanks, and never inside a character
// that takes two code units.
int PieceEnd(const QString& line, int from) {
    int end = from + LongTextEdit::kChunk;
    if (end >= line.size()) return static_cast<int>(line.size());
    // Only the second half of the piece is searched: a search back to the line's start would
    // take time in the square of the line's length.
    const int half = from + LongTextEdit::kChunk / 2;
    const auto blank = QStringView(line).mid(half, end - half).lastIndexOf(u' ');
    if (blank >= 0) end = half + static_cast<int>(blank) + 1;
    if (line[end - 1].isHighSurrogate()) --end;
    return end;
}

} // namespace

LongTextEdit::LongTextEdit(QWidget* parent) : QPlainTextEdit(parent) {
    // Wrapped at blanks only: a word longer than the field runs on (and scrolls), where
    // breaking it anywhere would cost a search of every break.
    setWordWrapMode(QTextOption::WordWrap);
}

void LongTextEdit::SetText(const std::string& text) {
    const QStringList lines = QString::fromStdString(text).split(u'\n');
    QString shown;
    shown.reserve(static_cast<qsizetype>(text.size() + text.size() / kChunk + 1));
    std::vector<bool> continues;
    for (const QString& line : lines) {
        int from = 0;
        do {
            const int end = PieceEnd(line, from);
            if (!continues.empty()) shown += u'\n';
            shown += QStringView(line).mid(from, end - from);
            continues.push_back(from > 0);
            from = end;
        } while (from < line.size());
    }
    setPlainText(shown);
    QTextBlock block = document()->firstBlock();
    for (std::size_t i = 0; i < continues.size() && block.isValid(); ++i, block = block.next())
        block.setUserState(continues[i] ? kContinues : -1);
}

std::string LongTextEdit::Text() const {
    QString text;
    for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
        if (block != document()->firstBlock() && block.userState() != kContinues) text += u'\n';
        text += block.text();
    }
    return text.toStdString();
}

} // namespace ov
