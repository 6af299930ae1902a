// "Scene Properties" on a real scene: the automatic grid and nudge while typing, the two
// refusals of OK, the line-style rows with their own dialog, and what Cancel leaves behind.
#include "FunctionDialogTestSupport.h"

#include "app/dialogs/OutlineForm.h"
#include "app/dialogs/frmSceneProperties.h"

namespace ov::testing {
namespace {

using namespace functiondialogs;

class ScenePropertiesDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        App().ActiveScene = App().DialogScene = &scene;
        dialog = std::make_unique<frmSceneProperties>();
        ASSERT_TRUE(Open(*dialog));
    }
    void TearDown() override {
        dialog.reset();
        App().ActiveScene = App().DialogScene = nullptr;
    }
    void Set(std::initializer_list<std::pair<const char*, const char*>> typed) {
        for (const auto& [name, text] : typed) Type(dialog->Field(name), text);
    }
    void Tick(const char* name) { ClickOption(dialog->findChild<QCheckBox*>(name)); }
    std::string Shown(const char* name) { return dialog->Field(name)->text().toStdString(); }
    bool Enabled(const char* name) { return dialog->Field(name)->isEnabled(); }
    std::string Ok() { return PressOk(prompt, *dialog, dialog->Button("cmOK")); }
    // Clicks a style row's button and picks a weight in the outline dialog ("" cancels it).
    void EditStyle(const char* button, QString weight) {
        OnNextDialog<OutlineForm>([weight](OutlineForm& form) {
            if (!weight.isEmpty()) Choose(form.WeightList(), weight);
            Click(weight.isEmpty() ? form.CancelButton() : form.OKButton());
        });
        Click(dialog->Button(button));
    }

    clsScene scene;
    RecordingPrompt prompt;
    ScopedPrompt scoped{prompt};
    std::unique_ptr<frmSceneProperties> dialog;
};

TEST_F(ScenePropertiesDialogTest, TheAutomaticGridFollowsTheSmallestExtentWhileTyping) {
    EXPECT_EQ(dialog->windowTitle(), "Scene Properties");
    EXPECT_EQ(Shown("txtViewVolume0") + " " + Shown("txtAngleStep") + " " + Shown("txtPrecision"),
              FormatNumber(-20) + " " + FormatNumber(3) + " 4");
    EXPECT_EQ(Shown("txtLineStyle"), "1 pt, solid");
    EXPECT_EQ(Shown("txtMinorStyle"), "0.25 pt, solid");
    EXPECT_FALSE(Enabled("txtGridMinor"));
    EXPECT_FALSE(Enabled("txtNudgeOffset"));
    const struct {
        const char *field, *typed, *major, *minor;
    } cases[] = {
        {"txtViewVolume1", "100", "5", "1"}, // the smallest extent stays 40
        {"txtViewVolume5", "0", "5", "1"},   // Z extent 20: still 5
        {"txtViewVolume5", "-3", "2", "0.4"},
        {"txtViewVolume5", "-30", "2", "0.4"}, // inside out: the boxes keep what they showed
    };
    for (const auto& c : cases) {
        Set({{c.field, c.typed}});
        EXPECT_EQ(Shown("txtGridMajor"), FormatNumber(std::stod(c.major))) << c.typed;
        EXPECT_EQ(Shown("txtGridMinor"), FormatNumber(std::stod(c.minor))) << c.typed;
        EXPECT_EQ(Shown("txtNudgeOffset"), Shown("txtGridMinor")) << c.typed;
    }
}

TEST_F(ScenePropertiesDialogTest, SwitchingTheAutomaticsOffEnablesTheBoxesAndOnRecomputesThem) {
    Tick("cAutoGrid");
    EXPECT_TRUE(Enabled("txtGridMinor"));
    EXPECT_TRUE(LabelEnabled(*dialog, "Mi&nor Grid Spacing:"));
    Set({{"txtGridMinor", "0.7"}, {"txtGridMajor", "3"}});
    // The automatic nudge takes the minor grid over when the automatics are looked at again,
    // not while the grid box is typed in.
    EXPECT_EQ(Shown("txtNudgeOffset"), FormatNumber(1));
    Set({{"txtViewVolume1", "0"}}); // X extent 20: the grid is not automatic, so it stays
    EXPECT_EQ(Shown("txtGridMajor"), "3");
    EXPECT_EQ(Shown("txtNudgeOffset"), "0.7");
    Tick("cAutoGrid");
    EXPECT_FALSE(Enabled("txtGridMinor"));
    EXPECT_EQ(Shown("txtGridMinor"), FormatNumber(1));
    Tick("cAutoNudge");
    EXPECT_TRUE(LabelEnabled(*dialog, "&Offset:"));
    Set({{"txtNudgeOffset", "0.25"}, {"txtViewVolume5", "-10"}}); // extent 10: minor 0.4; the nudge stays
    EXPECT_EQ(Shown("txtGridMinor"), FormatNumber(0.4));
    EXPECT_EQ(Shown("txtNudgeOffset"), "0.25");
}

TEST_F(ScenePropertiesDialogTest, OkRefusesABadPrecisionOrVolumeAndThenWritesEverySetting) {
    const std::string precision = "Unit precision must be between 1 and 10";
    for (const char* refused : {"0", "11", "10.6", "-3", "abc"}) {
        Set({{"txtPrecision", refused}});
        EXPECT_EQ(Ok(), precision) << refused;
    }
    Set({{"txtPrecision", "2.5"}, {"txtViewVolume1", "-20"}}); // X-max equal to X-min
    EXPECT_EQ(Ok(), "Invalid Scene Dimensions specified");
    Set({{"txtViewVolume1", "20"}, {"txtViewVolume4", "30"}}); // Z-min above Z-max
    EXPECT_EQ(Ok(), "Invalid Scene Dimensions specified");
    EXPECT_EQ(scene.Precision, 4);
    EXPECT_DOUBLE_EQ(scene.ViewVolumeMax.x, 20);

    // An empty minimum reads as 0, below a positive maximum; halves round to even.
    Set({{"txtViewVolume4", ""}, {"txtViewVolume0", "-5"}, {"txtViewVolume3", "7,5"}});
    Tick("cAutoGrid");
    Set({{"txtGridMinor", "0.5"}, {"txtGridMajor", "2"}});
    Tick("cAutoNudge");
    Set({{"txtNudgeOffset", "0.1"}, {"txtAngleStep", "15"}});
    EXPECT_EQ(Ok(), "");
    EXPECT_EQ(App().DialogScene, &scene);
    EXPECT_EQ(scene.Precision, 2);
    EXPECT_DOUBLE_EQ(scene.ViewVolumeMin.z, 0);
    EXPECT_DOUBLE_EQ(scene.ViewVolumeMin.x, -5);
    EXPECT_DOUBLE_EQ(scene.ViewVolumeMax.y, 7.5);
    EXPECT_FALSE(scene.AutoGrid);
    EXPECT_DOUBLE_EQ(scene.MinorGrid, 0.5);
    EXPECT_DOUBLE_EQ(scene.MajorGrid, 2);
    EXPECT_FALSE(scene.AutoNudge);
    EXPECT_DOUBLE_EQ(scene.NudgeOffset, 0.1);
    EXPECT_DOUBLE_EQ(scene.AngleStep, 15);
    dialog->show();
    Set({{"txtPrecision", "10.4"}});
    EXPECT_EQ(Ok(), "");
    EXPECT_EQ(scene.Precision, 10);
}

TEST_F(ScenePropertiesDialogTest, StyleRowsShowTheEditedCopyAndCancelKeepsOnlyWhatARefusedOkWrote) {
    EditStyle("cmOtlLine", "2.0 pt");
    EXPECT_EQ(Shown("txtLineStyle"), "2 pt, solid");
    EditStyle("cmOtlLine", ""); // a cancelled style dialog leaves the row as it was
    EXPECT_EQ(Shown("txtLineStyle"), "2 pt, solid");
    EditStyle("cmOtlHorizon", "None");
    EXPECT_EQ(Shown("txtHorizonStyle"), "None");
    Click(dialog->Button("cmCancel"));
    EXPECT_EQ(App().DialogScene, nullptr);
    EXPECT_DOUBLE_EQ(scene.Line.Width, 1);
    EXPECT_DOUBLE_EQ(scene.Horizon.Width, 0.25);

    App().DialogScene = &scene;
    dialog = std::make_unique<frmSceneProperties>();
    ASSERT_TRUE(Open(*dialog));
    EditStyle("cmOtlGridMajor", "3.0 pt");
    Set({{"txtPrecision", "0"}, {"txtViewVolume0", "-1"}});
    EXPECT_EQ(Ok(), "Unit precision must be between 1 and 10");
    Click(dialog->Button("cmCancel"));
    EXPECT_DOUBLE_EQ(scene.GridMajor.Width, 3);
    EXPECT_DOUBLE_EQ(scene.ViewVolumeMin.x, -20); // everything after the styles stayed
    EXPECT_FALSE(scene.Modified);
}

TEST(ScenePropertiesEntryTest, OkMarksTheSceneChangedAndWorksAnInvalidGridOutAgain) {
    clsScene scene;
    RecordingPrompt prompt;
    ScopedPrompt scoped{prompt};
    App().ActiveScene = &scene;
    OnNextDialog<frmSceneProperties>([](frmSceneProperties& shown) {
        shown.findChild<QCheckBox*>("cAutoGrid")->click();
        Type(shown.Field("txtGridMinor"), "0"); // not valid: worked out from the volume after OK
        Type(shown.Field("txtViewVolume5"), "-10");
        Click(shown.Button("cmOK"));
    });
    EXPECT_TRUE(ShowScenePropertiesDialog(nullptr, scene));
    EXPECT_EQ(App().DialogScene, nullptr);
    EXPECT_TRUE(scene.Modified);
    EXPECT_FALSE(scene.AutoGrid);
    EXPECT_DOUBLE_EQ(scene.MajorGrid, 2);
    EXPECT_DOUBLE_EQ(scene.MinorGrid, 0.4);
    EXPECT_DOUBLE_EQ(scene.NudgeOffset, 0.4);
    OnNextDialog<frmSceneProperties>([](frmSceneProperties& shown) { QTest::keyClick(&shown, Qt::Key_Escape); });
    scene.OnClean();
    EXPECT_FALSE(ShowScenePropertiesDialog(nullptr, scene));
    EXPECT_FALSE(scene.Modified);
    App().ActiveScene = nullptr;
}

} // namespace
} // namespace ov::testing
