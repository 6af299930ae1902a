// "Outline Properties", the colour chooser behind its colour button, and the font dialog:
// which entries they start on, what OK, Cancel and the close box leave in the style.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

#include "app/dialogs/FontDialog.h"
#include "app/dialogs/OutlineForm.h"

namespace ov {
namespace {

// Runs answer on the modal dialog of type T as soon as it is shown.
template <class T>
void WhenShown(const std::function<void(T&)>& answer, bool* seen = nullptr) {
    QTimer::singleShot(0, [answer, seen] {
        auto* shown = qobject_cast<T*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        if (seen) *seen = true;
        answer(*shown);
    });
}

void Choose(QComboBox* list, const QString& text) {
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = list->findText(text); i > 0; --i) QTest::keyClick(list, Qt::Key_Down);
    ASSERT_EQ(list->currentText(), text);
}

clsOutline Outline(double width, std::int32_t style) {
    clsOutline outline;
    outline.Width = width;
    outline.Style = style;
    return outline;
}

QColor ButtonColor(QPushButton* button) {
    // The button shows its colour as its background.
    return button->grab().toImage().pixelColor(button->width() / 2, button->height() / 2);
}

TEST(OutlineDialogTest, TheWeightListStartsOnTheFirstEntryAtLeastAsWide) {
    struct Case {
        double Width;
        const char* Entry;
    };
    for (const Case& c : {Case{0.3, "0.5 pt"}, Case{6, "5.0 pt"}, Case{0, "None"}, Case{clsOutline::HairlineWidth, "Hairline"},
                          Case{0.25, "0.25 pt"}, Case{0.2, "Hairline"}, Case{-1, "None"}, Case{1.01, "1.5 pt"}}) {
        clsOutline outline = Outline(c.Width, clsOutline::StyleSolid);
        OutlineForm form(outline);
        EXPECT_EQ(form.WeightList()->currentText().toStdString(), c.Entry) << c.Width;
    }
    // The style list follows the outline's style; one without a line starts at solid.
    clsOutline dotted = Outline(1, clsOutline::StyleDotted);
    EXPECT_EQ(OutlineForm(dotted).StyleList()->currentText(), "Dotted");
    clsOutline none = Outline(0, clsOutline::StyleNone);
    EXPECT_EQ(OutlineForm(none).StyleList()->currentText(), "Solid");
}

TEST(OutlineDialogTest, OKStoresTheChosenWeightAndStyleAndNoneMeansNoLine) {
    clsOutline outline = Outline(0.3, clsOutline::StyleSolid);
    {
        OutlineForm form(outline);
        form.show();
        Choose(form.WeightList(), "2.5 pt");
        Choose(form.StyleList(), "Dashed");
        QTest::mouseClick(form.OKButton(), Qt::LeftButton);
        EXPECT_TRUE(form.Confirmed());
    }
    EXPECT_DOUBLE_EQ(outline.Width, 2.5);
    EXPECT_EQ(outline.Style, clsOutline::StyleDashed);
    {
        // Whatever the style list says, no weight is no line.
        OutlineForm form(outline);
        form.show();
        Choose(form.WeightList(), "None");
        Choose(form.StyleList(), "Dotted");
        QTest::mouseClick(form.OKButton(), Qt::LeftButton);
    }
    EXPECT_DOUBLE_EQ(outline.Width, 0);
    EXPECT_EQ(outline.Style, clsOutline::StyleNone);
    {
        // Opening on an odd width and confirming snaps it to the list.
        clsOutline odd = Outline(0.3, clsOutline::StyleSolid);
        OutlineForm form(odd);
        form.show();
        QTest::mouseClick(form.OKButton(), Qt::LeftButton);
        EXPECT_DOUBLE_EQ(odd.Width, 0.5);
    }
}

TEST(OutlineDialogTest, CancelAndTheCloseBoxLeaveTheOutlineButOnlyCancelIsARefusal) {
    clsOutline outline = Outline(1, clsOutline::StyleSolid);
    WhenShown<OutlineForm>([](OutlineForm& form) {
        Choose(form.WeightList(), "4.0 pt");
        QTest::mouseClick(form.CancelButton(), Qt::LeftButton);
    });
    EXPECT_FALSE(ShowOutlineDialog(outline, nullptr));
    EXPECT_DOUBLE_EQ(outline.Width, 1);

    WhenShown<OutlineForm>([](OutlineForm& form) {
        Choose(form.WeightList(), "4.0 pt");
        form.close();
    });
    EXPECT_TRUE(ShowOutlineDialog(outline, nullptr));
    EXPECT_DOUBLE_EQ(outline.Width, 1);

    WhenShown<OutlineForm>([](OutlineForm& form) { QTest::keyClick(&form, Qt::Key_Escape); });
    EXPECT_FALSE(ShowOutlineDialog(outline, nullptr));

    WhenShown<OutlineForm>([](OutlineForm& form) {
        Choose(form.WeightList(), "0.75 pt");
        QTest::mouseClick(form.OKButton(), Qt::LeftButton);
    });
    EXPECT_TRUE(ShowOutlineDialog(outline, nullptr));
    EXPECT_DOUBLE_EQ(outline.Width, 0.75);
}

TEST(OutlineDialogTest, TheColourButtonPicksAWorkingColourThatOnlyOKKeeps) {
    clsOutline outline = Outline(1, clsOutline::StyleSolid);
    outline.Color.SetRGBColor(0, 0, 255);
    OutlineForm form(outline);
    form.resize(300, 150);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(ButtonColor(form.ColorButton()), QColor(0, 0, 255));

    bool seen = false;
    WhenShown<QColorDialog>(
        [](QColorDialog& chooser) {
            EXPECT_EQ(chooser.currentColor(), QColor(0, 0, 255));
            chooser.setCurrentColor(QColor(10, 200, 30));
            chooser.accept();
        },
        &seen);
    QTest::mouseClick(form.ColorButton(), Qt::LeftButton);
    ASSERT_TRUE(seen);
    EXPECT_EQ(ButtonColor(form.ColorButton()), QColor(10, 200, 30));
    // Not in the outline before OK.
    EXPECT_EQ(outline.Color.RGBColor, clsColor(0, 0, 255).RGBColor);

    // Cancelling the chooser keeps the working colour.
    WhenShown<QColorDialog>([](QColorDialog& chooser) {
        chooser.setCurrentColor(Qt::yellow);
        chooser.reject();
    });
    QTest::mouseClick(form.ColorButton(), Qt::LeftButton);
    EXPECT_EQ(ButtonColor(form.ColorButton()), QColor(10, 200, 30));

    QTest::mouseClick(form.OKButton(), Qt::LeftButton);
    EXPECT_EQ(outline.Color.RGBColor, clsColor(10, 200, 30).RGBColor);
}

TEST(FontColourTest, BasicColoursAreTheThreeLevelsAndSilver) {
    EXPECT_TRUE(IsBasicColor(clsColor(0, 128, 255)));
    EXPECT_TRUE(IsBasicColor(clsColor(192, 192, 192)));
    EXPECT_FALSE(IsBasicColor(clsColor(192, 192, 0)));
    EXPECT_FALSE(IsBasicColor(clsColor(200, 100, 50)));
    EXPECT_FALSE(IsBasicColor(clsColor(127, 0, 0)));
}

class FontDialogTest : public ::testing::Test {
protected:
    // Shows the font dialog on font and lets answer work it.
    bool Show(const std::function<void(frmFont&)>& answer) {
        WhenShown<frmFont>(answer);
        return ShowFontDialog(font, nullptr);
    }
    clsFont font;
};

TEST_F(FontDialogTest, AColourTheListCannotShowStartsAsBlackAndSurvivesOK) {
    font.Color.SetRGBColor(200, 100, 50);
    font.Size = 12;
    font.Bold = true;
    EXPECT_TRUE(Show([](frmFont& dialog) {
        EXPECT_EQ(dialog.ColorList()->currentText(), "Black");
        EXPECT_DOUBLE_EQ(dialog.SelectedFont().pointSizeF(), 12);
        EXPECT_GE(dialog.SelectedFont().weight(), QFont::DemiBold);
        QTest::mouseClick(dialog.OKButton(), Qt::LeftButton);
    }));
    EXPECT_EQ(font.Color.RGBColor, clsColor(200, 100, 50).RGBColor);
    EXPECT_FLOAT_EQ(font.Size, 12);
    EXPECT_TRUE(font.Bold);

    // Picking another colour replaces it.
    EXPECT_TRUE(Show([](frmFont& dialog) {
        Choose(dialog.ColorList(), "Maroon");
        QTest::mouseClick(dialog.OKButton(), Qt::LeftButton);
    }));
    EXPECT_EQ(font.Color.RGBColor, clsColor(128, 0, 0).RGBColor);
}

TEST_F(FontDialogTest, OKTakesFaceSizeAndEffectsAndCancelChangesNothing) {
    font.Color.SetRGBColor(0, 128, 128);
    EXPECT_FALSE(Show([](frmFont& dialog) {
        EXPECT_EQ(dialog.ColorList()->currentText(), "Teal");
        QFont other = dialog.SelectedFont();
        other.setPointSizeF(30);
        dialog.FontPanel()->setCurrentFont(other);
        QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
    }));
    EXPECT_FLOAT_EQ(font.Size, 10);

    EXPECT_TRUE(Show([](frmFont& dialog) {
        QFont chosen(dialog.SelectedFont().family());
        chosen.setPointSizeF(14);
        chosen.setItalic(true);
        chosen.setUnderline(true);
        chosen.setBold(true);
        dialog.FontPanel()->setCurrentFont(chosen);
        QTest::mouseClick(dialog.OKButton(), Qt::LeftButton);
    }));
    EXPECT_FLOAT_EQ(font.Size, 14);
    EXPECT_TRUE(font.Italic);
    EXPECT_TRUE(font.Underline);
    EXPECT_FALSE(font.StrikeOut);
    EXPECT_TRUE(font.Bold);
    // The face stood in for Arial and was kept: the stored name stays.
    EXPECT_EQ(font.Name, "Arial");
    EXPECT_EQ(font.Color.RGBColor, clsColor(0, 128, 128).RGBColor);

    // Another face replaces the name.
    EXPECT_TRUE(Show([](frmFont& dialog) {
        dialog.FontPanel()->setCurrentFont(QFont("Liberation Mono", 9));
        QTest::mouseClick(dialog.OKButton(), Qt::LeftButton);
    }));
    EXPECT_EQ(font.Name, "Liberation Mono");
    EXPECT_FLOAT_EQ(font.Size, 9);
}

TEST_F(FontDialogTest, ChoicesTakeOnlyAChangedColourAndKeepFaceNamesShort) {
    QFont chosen(QString(40, QChar('F')));
    chosen.setPointSizeF(14.25);
    font.Color.SetRGBColor(1, 2, 3);
    ApplyFontChoice(font, chosen, 0, 0);
    EXPECT_EQ(font.Color.RGBColor, clsColor(1, 2, 3).RGBColor);
    EXPECT_EQ(font.Name.size(), 31u);
    EXPECT_FLOAT_EQ(font.Size, 14.3f); // to a tenth of a point
    chosen.setWeight(QFont::DemiBold);
    ApplyFontChoice(font, chosen, 0, 0);
    EXPECT_TRUE(font.Bold);
    chosen.setWeight(QFont::Medium);
    ApplyFontChoice(font, chosen, 0, 0);
    EXPECT_FALSE(font.Bold);
    ApplyFontChoice(font, chosen, clsColor(255, 255, 0).RGBColor, 0);
    EXPECT_EQ(font.Color.RGBColor, clsColor(255, 255, 0).RGBColor);
    // Absurd sizes from a file still open the dialog with a size it can show.
    font.Size = -4;
    EXPECT_GT(FontDialogInitialFont(font).pointSizeF(), 0);
}

} // namespace
} // namespace ov
