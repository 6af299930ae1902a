// "Outline Properties", the colour chooser behind its colour button, and the font dialog:
// which entries they start on, what OK, Cancel and the close box leave in the style.
#include "FunctionDialogTestSupport.h"

#include <QColorDialog>
#include <QFontDialog>

#include "app/dialogs/FontDialog.h"
#include "app/dialogs/OutlineForm.h"

namespace ov::testing {
namespace {

using namespace functiondialogs;

// The button shows its colour as its background.
QColor ButtonColor(QPushButton* b) { return b->grab().toImage().pixelColor(b->width() / 2, b->height() / 2); }

TEST(OutlineDialogTest, TheListsStartOnTheFirstWeightAtLeastAsWideAndTheOutlinesStyle) {
    for (auto [w, entry] : {std::pair{0.3, "0.5 pt"}, {6.0, "5.0 pt"}, {0.0, "None"}, {0.25, "0.25 pt"}}) {
        clsOutline outline(w, 0, 0, 0);
        EXPECT_EQ(OutlineForm(outline).WeightList()->currentText().toStdString(), entry) << w;
    }
    clsOutline dotted(1, 0, 0, 0), none(0, 0, 0, 0);
    dotted.Style = clsOutline::StyleDotted;
    EXPECT_EQ(OutlineForm(dotted).StyleList()->currentText(), "Dotted");
    EXPECT_EQ(OutlineForm(none).StyleList()->currentText(), "Solid"); // no line starts at solid
}

TEST(OutlineDialogTest, OkStoresTheChoiceNoneMeansNoLineAndOnlyCancelIsARefusal) {
    const struct {
        const char *weight, *style; // nullptr: left as it opened
        int answer;                 // 0 OK, 1 Cancel, 2 close box
        double width;
        std::int32_t storedStyle;
    } cases[] = {
        {"2.5 pt", "Dashed", 0, 2.5, clsOutline::StyleDashed},
        {"None", "Dotted", 0, 0, clsOutline::StyleNone}, // no weight is no line
        {"4.0 pt", nullptr, 1, 0.3, clsOutline::StyleSolid},
        {"4.0 pt", nullptr, 2, 0.3, clsOutline::StyleSolid}, // closed, but not refused
        {nullptr, nullptr, 0, 0.5, clsOutline::StyleSolid}, // an odd width snaps to the list
    };
    for (const auto& c : cases) {
        clsOutline outline(0.3, 0, 0, 0);
        OnNextDialog<OutlineForm>([&c](OutlineForm& form) {
            if (c.weight) Choose(form.WeightList(), c.weight);
            if (c.style) Choose(form.StyleList(), c.style);
            if (c.answer == 2) form.close();
            else Click(c.answer == 0 ? form.OKButton() : form.CancelButton());
        });
        EXPECT_EQ(ShowOutlineDialog(outline, nullptr), c.answer != 1) << c.answer;
        EXPECT_DOUBLE_EQ(outline.Width, c.width) << c.answer;
        EXPECT_EQ(outline.Style, c.storedStyle) << c.answer;
    }
}

TEST(OutlineDialogTest, TheColourButtonPicksAWorkingColourThatOnlyOkKeeps) {
    clsOutline outline(1, 0, 0, 255);
    OutlineForm form(outline);
    form.resize(300, 150);
    ASSERT_TRUE(Open(form));
    for (bool accept : {true, false}) { // a cancelled chooser keeps the working colour
        OnNextDialog<QColorDialog>([accept](QColorDialog& chooser) {
            EXPECT_EQ(chooser.currentColor(), accept ? QColor(0, 0, 255) : QColor(10, 200, 30));
            chooser.setCurrentColor(accept ? QColor(10, 200, 30) : QColor(Qt::yellow));
            accept ? chooser.accept() : chooser.reject();
        });
        Click(form.ColorButton());
        EXPECT_EQ(ButtonColor(form.ColorButton()), QColor(10, 200, 30));
        EXPECT_EQ(outline.Color.RGBColor, clsColor(0, 0, 255).RGBColor); // not before OK
    }
    Click(form.OKButton());
    EXPECT_EQ(outline.Color.RGBColor, clsColor(10, 200, 30).RGBColor);
}

bool ShowFont(clsFont& font, std::function<void(frmFont&)> answer) {
    OnNextDialog<frmFont>(std::move(answer));
    return ShowFontDialog(font, nullptr);
}

TEST(FontDialogTest, OkTakesFaceSizeEffectsAndAChangedColourKeepingASubstitutedNameAndCancelChangesNothing) {
    clsFont font;
    font.Color.SetRGBColor(200, 100, 50), font.Bold = true;
    EXPECT_FALSE(ShowFont(font, [](frmFont& dialog) {
        EXPECT_EQ(dialog.ColorList()->currentText(), "Black"); // a colour the list cannot show
        dialog.FontPanel()->setCurrentFont(QFont("Liberation Mono", 30));
        Click(dialog.CancelButton());
    }));
    EXPECT_TRUE(ShowFont(font, [](frmFont& dialog) { Click(dialog.OKButton()); }));
    // The face that stands in for Arial keeps the stored name; the colour survives.
    EXPECT_TRUE(font.Name == "Arial" && font.Size == 10 && font.Bold);
    EXPECT_EQ(font.Color.RGBColor, clsColor(200, 100, 50).RGBColor);
    EXPECT_TRUE(ShowFont(font, [](frmFont& dialog) {
        Choose(dialog.ColorList(), "Teal");
        Click(dialog.OKButton());
    }));
    EXPECT_EQ(font.Color.RGBColor, clsColor(0, 128, 128).RGBColor);

    // Another face is taken, to the 31 characters a font record holds; sizes to a tenth of a point.
    QFont chosen(QString(40, QChar('F')));
    chosen.setPointSizeF(14.25), chosen.setItalic(true), chosen.setUnderline(true);
    for (auto [weight, bold] : {std::pair{QFont::DemiBold, true}, std::pair{QFont::Medium, false}}) {
        chosen.setWeight(weight);
        ApplyFontChoice(font, chosen, 0, 0); // only a changed colour is taken
        EXPECT_EQ(font.Bold, bold);
    }
    EXPECT_TRUE(font.Size == 14.3f && font.Italic && font.Underline && !font.StrikeOut);
    EXPECT_EQ(font.Name.size(), 31u);
    EXPECT_EQ(font.Color.RGBColor, clsColor(0, 128, 128).RGBColor);
    font.Size = -4; // absurd sizes from a file still open the dialog with a size it can show
    EXPECT_GT(FontDialogInitialFont(font).pointSizeF(), 0);
}

} // namespace
} // namespace ov::testing
