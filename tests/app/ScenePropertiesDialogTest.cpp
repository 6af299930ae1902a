// "Scene Properties" on a real scene: the automatic grid and nudge while typing, the two
// refusals of OK, the line-style rows with their own dialog, and what Cancel leaves behind.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

#include "app/dialogs/OutlineForm.h"
#include "app/dialogs/frmSceneProperties.h"
#include "platform/Prompt.h"
#include "scene/AppState.h"
#include "scene/clsScene.h"

namespace ov {
namespace {

class ScenePropertiesDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        App().ActiveScene = &scene;
        App().DialogScene = &scene;
        dialog = std::make_unique<frmSceneProperties>();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    void TearDown() override {
        dialog.reset();
        App().ActiveScene = nullptr;
        App().DialogScene = nullptr;
    }

    QLineEdit* Field(const char* name) {
        QLineEdit* field = dialog->Field(name);
        EXPECT_NE(field, nullptr) << name;
        return field;
    }
    void Type(const char* name, const char* text) {
        QLineEdit* field = Field(name);
        QTest::mouseClick(field, Qt::LeftButton);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }
    void Tick(const char* name) {
        auto* box = dialog->findChild<QCheckBox*>(name);
        ASSERT_NE(box, nullptr) << name;
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
    }
    void Click(const char* name) {
        QPushButton* button = dialog->Button(name);
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    std::string Shown(const char* name) { return Field(name)->text().toStdString(); }
    bool LabelEnabled(const char* caption) {
        for (QLabel* label : dialog->findChildren<QLabel*>())
            if (label->text() == caption) return label->isEnabled();
        ADD_FAILURE() << "no label " << caption;
        return false;
    }
    // Clicks a style row's button and answers the outline dialog that opens with answer.
    void EditStyle(const char* button, const std::function<void(OutlineForm&)>& answer) {
        bool opened = false;
        QTimer::singleShot(0, [&] {
            auto* form = qobject_cast<OutlineForm*>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            opened = true;
            answer(*form);
        });
        Click(button);
        EXPECT_TRUE(opened);
    }
    static void ChooseWeight(OutlineForm& form, const char* text) {
        QComboBox* list = form.WeightList();
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = list->findText(text); i > 0; --i) QTest::keyClick(list, Qt::Key_Down);
        QTest::mouseClick(form.OKButton(), Qt::LeftButton);
    }

    clsScene scene;
    RecordingPrompt prompt;
    ScopedPrompt scoped{prompt};
    std::unique_ptr<frmSceneProperties> dialog;
};

TEST_F(ScenePropertiesDialogTest, OpensWithTheSceneSettings) {
    EXPECT_EQ(dialog->windowTitle(), "Scene Properties");
    EXPECT_EQ(Shown("txtViewVolume0"), FormatNumber(-20));
    EXPECT_EQ(Shown("txtViewVolume5"), FormatNumber(20));
    EXPECT_EQ(Shown("txtGridMajor"), FormatNumber(5));
    EXPECT_EQ(Shown("txtGridMinor"), FormatNumber(1));
    EXPECT_EQ(Shown("txtAngleStep"), FormatNumber(3));
    EXPECT_EQ(Shown("txtPrecision"), "4");
    EXPECT_EQ(Shown("txtLineStyle"), "1 pt, solid");
    EXPECT_EQ(Shown("txtMinorStyle"), "0.25 pt, solid");
    EXPECT_FALSE(Field("txtGridMinor")->isEnabled());
    EXPECT_FALSE(Field("txtNudgeOffset")->isEnabled());
}

TEST_F(ScenePropertiesDialogTest, TheAutomaticGridFollowsTheSmallestExtentWhileTyping) {
    // The smallest extent stays 40: nothing changes.
    Type("txtViewVolume1", "100");
    EXPECT_EQ(Shown("txtGridMajor"), FormatNumber(5));
    EXPECT_EQ(Shown("txtGridMinor"), FormatNumber(1));
    // Z from -20 to 0: extent 20, still major 5.
    Type("txtViewVolume5", "0");
    EXPECT_EQ(Shown("txtGridMajor"), FormatNumber(5));
    // Z from -20 to -3: extent 17, major 2.
    Type("txtViewVolume5", "-3");
    EXPECT_EQ(Shown("txtGridMajor"), FormatNumber(2));
    EXPECT_EQ(Shown("txtGridMinor"), FormatNumber(0.4));
    EXPECT_EQ(Shown("txtNudgeOffset"), Shown("txtGridMinor"));
    // Z-max -30 turns the volume inside out: the boxes keep what they showed.
    QTest::keyClicks(Field("txtViewVolume5"), "0");
    EXPECT_EQ(Shown("txtViewVolume5"), "-30");
    EXPECT_EQ(Shown("txtGridMajor"), FormatNumber(2));
    EXPECT_EQ(Shown("txtGridMinor"), FormatNumber(0.4));
}

TEST_F(ScenePropertiesDialogTest, SwitchingTheAutomaticsOffEnablesTheBoxesAndOnRecomputesThem) {
    Tick("cAutoGrid");
    EXPECT_TRUE(Field("txtGridMinor")->isEnabled());
    EXPECT_TRUE(Field("txtGridMajor")->isEnabled());
    EXPECT_TRUE(LabelEnabled("Mi&nor Grid Spacing:"));
    EXPECT_TRUE(LabelEnabled("Ma&jor Grid Spacing:"));
    Type("txtGridMinor", "0.7");
    Type("txtGridMajor", "3");
    // The automatic nudge takes the minor grid over when the automatics are looked at
    // again, not while the grid box is typed in.
    EXPECT_EQ(Shown("txtNudgeOffset"), FormatNumber(1));
    Type("txtViewVolume1", "0"); // X extent 20: the grid is not automatic, so it stays
    EXPECT_EQ(Shown("txtGridMajor"), "3");
    EXPECT_EQ(Shown("txtNudgeOffset"), "0.7");

    Tick("cAutoGrid");
    EXPECT_FALSE(Field("txtGridMinor")->isEnabled());
    EXPECT_EQ(Shown("txtGridMajor"), FormatNumber(5));
    EXPECT_EQ(Shown("txtGridMinor"), FormatNumber(1));

    Tick("cAutoNudge");
    EXPECT_TRUE(Field("txtNudgeOffset")->isEnabled());
    EXPECT_TRUE(LabelEnabled("&Offset:"));
    Type("txtNudgeOffset", "0.25");
    Type("txtViewVolume5", "-10"); // extent 10: major 2, minor 0.4; the nudge stays
    EXPECT_EQ(Shown("txtGridMinor"), FormatNumber(0.4));
    EXPECT_EQ(Shown("txtNudgeOffset"), "0.25");
}

TEST_F(ScenePropertiesDialogTest, OKWritesEverySetting) {
    Type("txtViewVolume0", "-5");
    Type("txtViewVolume3", "7,5");
    Tick("cAutoGrid");
    Type("txtGridMinor", "0.5");
    Type("txtGridMajor", "2");
    Tick("cAutoNudge");
    Type("txtNudgeOffset", "0.1");
    Type("txtAngleStep", "15");
    Type("txtPrecision", "3");
    Click("cmOK");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(App().DialogScene, &scene);
    EXPECT_DOUBLE_EQ(scene.ViewVolumeMin.x, -5);
    EXPECT_DOUBLE_EQ(scene.ViewVolumeMax.y, 7.5);
    EXPECT_FALSE(scene.AutoGrid);
    EXPECT_DOUBLE_EQ(scene.MinorGrid, 0.5);
    EXPECT_DOUBLE_EQ(scene.MajorGrid, 2);
    EXPECT_FALSE(scene.AutoNudge);
    EXPECT_DOUBLE_EQ(scene.NudgeOffset, 0.1);
    EXPECT_DOUBLE_EQ(scene.AngleStep, 15);
    EXPECT_EQ(scene.Precision, 3);
    EXPECT_TRUE(prompt.Messages.empty());
}

TEST_F(ScenePropertiesDialogTest, PrecisionOutsideOneToTenIsRefusedAndHalvesRoundToEven) {
    for (const char* refused : {"0", "11", "10.6", "-3", "abc"}) {
        prompt.Messages.clear();
        Type("txtPrecision", refused);
        Click("cmOK");
        ASSERT_EQ(prompt.Messages.size(), 1u) << refused;
        EXPECT_EQ(prompt.LastText(), "Unit precision must be between 1 and 10");
        EXPECT_EQ(prompt.Messages.back().Icon, PromptIcon::Critical);
        EXPECT_TRUE(dialog->isVisible()) << refused;
        EXPECT_EQ(scene.Precision, 4);
    }
    Type("txtPrecision", "2.5");
    Click("cmOK");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(scene.Precision, 2);

    dialog->show();
    Type("txtPrecision", "10.4");
    Click("cmOK");
    EXPECT_EQ(scene.Precision, 10);
}

TEST_F(ScenePropertiesDialogTest, AnEmptyOrInsideOutVolumeIsRefused) {
    Type("txtViewVolume1", "-20"); // X-max equal to X-min
    Click("cmOK");
    EXPECT_EQ(prompt.LastText(), "Invalid Scene Dimensions specified");
    EXPECT_EQ(prompt.Messages.back().Icon, PromptIcon::Critical);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_DOUBLE_EQ(scene.ViewVolumeMax.x, 20);

    Type("txtViewVolume1", "20");
    Type("txtViewVolume4", "30"); // Z-min above Z-max
    Click("cmOK");
    EXPECT_EQ(prompt.Messages.size(), 2u);
    EXPECT_TRUE(dialog->isVisible());

    // An empty minimum reads as 0, below a positive maximum: accepted.
    Type("txtViewVolume4", "");
    Click("cmOK");
    EXPECT_EQ(prompt.Messages.size(), 2u);
    EXPECT_DOUBLE_EQ(scene.ViewVolumeMin.z, 0);
}

TEST_F(ScenePropertiesDialogTest, AStyleRowShowsTheEditedCopyAndCancelLeavesTheScene) {
    EditStyle("cmOtlLine", [](OutlineForm& form) { ChooseWeight(form, "2.0 pt"); });
    EXPECT_EQ(Shown("txtLineStyle"), "2 pt, solid");
    // A cancelled style dialog leaves the row as it was.
    EditStyle("cmOtlLine", [](OutlineForm& form) { QTest::mouseClick(form.CancelButton(), Qt::LeftButton); });
    EXPECT_EQ(Shown("txtLineStyle"), "2 pt, solid");
    EditStyle("cmOtlHorizon", [](OutlineForm& form) { ChooseWeight(form, "None"); });
    EXPECT_EQ(Shown("txtHorizonStyle"), "None");

    Click("cmCancel");
    EXPECT_EQ(App().DialogScene, nullptr);
    EXPECT_DOUBLE_EQ(scene.Line.Width, 1);
    EXPECT_DOUBLE_EQ(scene.Horizon.Width, 0.25);
}

TEST_F(ScenePropertiesDialogTest, CancelAfterARefusedOKKeepsTheStylesOKAlreadyWrote) {
    EditStyle("cmOtlGridMajor", [](OutlineForm& form) { ChooseWeight(form, "3.0 pt"); });
    Type("txtPrecision", "0");
    Type("txtViewVolume0", "-1");
    Click("cmOK");
    EXPECT_EQ(prompt.LastText(), "Unit precision must be between 1 and 10");
    Click("cmCancel");
    EXPECT_EQ(App().DialogScene, nullptr);
    EXPECT_DOUBLE_EQ(scene.GridMajor.Width, 3);
    // Everything after the styles stayed as it was.
    EXPECT_DOUBLE_EQ(scene.ViewVolumeMin.x, -20);
    EXPECT_FALSE(scene.Modified);
}

// The entry function on a scene of its own: what happens around the dialog.
class ScenePropertiesEntryTest : public ::testing::Test {
protected:
    void SetUp() override { App().ActiveScene = &scene; }
    void TearDown() override { App().ActiveScene = nullptr; }

    // Answers the dialog once it is shown.
    static void Answer(const std::function<void(frmSceneProperties&)>& answer) {
        QTimer::singleShot(0, [answer] {
            auto* shown = qobject_cast<frmSceneProperties*>(QApplication::activeModalWidget());
            ASSERT_NE(shown, nullptr);
            answer(*shown);
        });
    }

    clsScene scene;
    RecordingPrompt prompt;
    ScopedPrompt scoped{prompt};
};

TEST_F(ScenePropertiesEntryTest, OKMarksTheSceneChangedAndWorksOutTheGridAgain) {
    Answer([](frmSceneProperties& shown) {
        // A manual grid that is not valid (minor 0) is worked out from the volume after OK.
        shown.findChild<QCheckBox*>("cAutoGrid")->click();
        QLineEdit* minor = shown.Field("txtGridMinor");
        minor->selectAll();
        QTest::keyClicks(minor, "0");
        QLineEdit* zMax = shown.Field("txtViewVolume5");
        zMax->selectAll();
        QTest::keyClicks(zMax, "-10");
        QTest::mouseClick(shown.Button("cmOK"), Qt::LeftButton);
    });
    EXPECT_TRUE(ShowScenePropertiesDialog(nullptr, scene));
    EXPECT_EQ(App().DialogScene, nullptr);
    EXPECT_TRUE(scene.Modified);
    EXPECT_FALSE(scene.AutoGrid);
    EXPECT_DOUBLE_EQ(scene.MajorGrid, 2);
    EXPECT_DOUBLE_EQ(scene.MinorGrid, 0.4);
    EXPECT_DOUBLE_EQ(scene.NudgeOffset, 0.4);

    Answer([](frmSceneProperties& shown) { QTest::keyClick(&shown, Qt::Key_Escape); });
    scene.OnClean();
    EXPECT_FALSE(ShowScenePropertiesDialog(nullptr, scene));
    EXPECT_FALSE(scene.Modified);
    EXPECT_EQ(App().DialogScene, nullptr);
}

} // namespace
} // namespace ov
