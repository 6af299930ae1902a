// Megabytes of notes on one line: shown as pieces that read back as the text that was set.
#include "FunctionDialogTestSupport.h"

#include <QTextBlock>
#include <algorithm>

#include "app/dialogs/LongTextEdit.h"

namespace ov::testing {
namespace {

// Where two texts first differ (the shorter one's length when one begins the other); npos when equal.
std::size_t FirstDifference(const std::string& a, const std::string& b) {
    const auto at = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return at.first == a.end() && at.second == b.end() ? std::string::npos : static_cast<std::size_t>(at.first - a.begin());
}

int LongestParagraph(const QPlainTextEdit& field) {
    int longest = 0;
    for (QTextBlock b = field.document()->firstBlock(); b.isValid(); b = b.next()) longest = std::max(longest, b.length() - 1);
    return longest;
}

TEST(LongTextEditTest, LongLinesShowInPiecesAndReadBackWhole) {
    const int chunk = LongTextEdit::kChunk;
    std::string spaced(5'000'000, 'w');
    for (std::size_t i = 6; i < spaced.size(); i += 7) spaced[i] = ' ';
    std::string pairs; // a character of two code units on every boundary a hard cut could take
    while (pairs.size() < 4u * chunk) pairs += "a\xF0\x9F\x8F\xA0";
    const std::string texts[] = {"", "one\ntwo\n\n", std::string(5'000'000, 'x'), spaced, "head\n" + pairs + "\ntail\n"};
    for (const std::string& text : texts) {
        LongTextEdit field;
        field.SetText(text);
        EXPECT_EQ(FirstDifference(field.Text(), text), std::string::npos) << text.size();
        EXPECT_LE(LongestParagraph(field), chunk) << text.size();
    }
    // A line typed into the middle of a piece is a line of its own; the pieces still join.
    LongTextEdit field;
    field.SetText(std::string(3 * chunk, 'x'));
    QTextCursor cursor(field.document());
    cursor.setPosition(chunk + 1 + 10); // ten characters into the second piece
    field.setTextCursor(cursor);
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(field.Text(), std::string(chunk + 10, 'x') + "\n" + std::string(2 * chunk - 10, 'x'));
}

} // namespace
} // namespace ov::testing
