// "Scene Properties" on a real scene: the automatic grid and nudge while typing, the two
// refusals of OK, the line-style rows with their own dialog, and what Cancel leaves behind.
#include "FunctionDialogTestSupport.h"

#include "app/dialogs/OutlineForm.h"
#include "app/dialogs/frmSceneProperties.h"

namespace ov::testing {
namespace {

using namespace functiondialogs;

class ScenePropertiesDialogTest : public SceneDialogTest, protected NamedFields<frmSceneProperties> {
protected:
    void SetUp() override { OpenDialog(); }
    void OpenDialog() {
        App().DialogScene = &scene;
        OpenNew(dialog);
    }
    // The major and minor grid spacing and the nudge offset, as shown.
    std::string Grid() {
        return Shown("txtGridMajor") + " " + Shown("txtGridMinor") + " " + Shown("txtNudgeOffset");
    }
    std::string Ok() { return PressOk(prompt, *dialog, dialog->Button("cmOK")); }
    // Clicks a style row's button and picks a weight in the outline dialog ("" cancels it).
    void EditStyle(const char* button, QString weight) {
        OnNextDialog<OutlineForm>([weight](OutlineForm& form) {
            if (!weight.isEmpty()) Choose(form.WeightList(), weight);
            Click(weight.isEmpty() ? form.CancelButton() : form.OKButton());
        });
        Click(dialog->Button(button));
    }
};

TEST_F(ScenePropertiesDialogTest, TheAutomaticGridAndNudgeFollowTheSmallestExtentOnlyWhileSwitchedOn) {
    Set({{"txtViewVolume1", "100"}}); // the smallest extent stays 40
    EXPECT_EQ(Grid(), Numbers({5, 1, 1}));
    Set({{"txtViewVolume5", "-3"}});
    EXPECT_EQ(Grid(), Numbers({2, 0.4, 0.4}));
    Set({{"txtViewVolume5", "-30"}}); // inside out: the boxes keep what they showed
    EXPECT_EQ(Grid(), Numbers({2, 0.4, 0.4}));
    Tick("cAutoGrid");
    EXPECT_TRUE(Enabled("txtGridMinor") && LabelEnabled(*dialog, "Mi&nor Grid Spacing:"));
    // A grid switched off stays as typed; the automatic nudge takes the minor grid over when
    // the automatics are looked at again, not while the grid box is typed in.
    Set({{"txtGridMinor", "0.7"}, {"txtGridMajor", "3"}});
    EXPECT_EQ(Grid(), "3 0.7 " + Numbers({0.4}));
    Set({{"txtViewVolume5", "0"}}); // Z extent 20
    EXPECT_EQ(Grid(), "3 0.7 0.7");
    Tick("cAutoGrid");
    EXPECT_FALSE(Enabled("txtGridMinor"));
    EXPECT_EQ(Grid(), Numbers({5, 1, 1}));
    Tick("cAutoNudge");
    EXPECT_TRUE(LabelEnabled(*dialog, "&Offset:"));
    Set({{"txtNudgeOffset", "0.25"}, {"txtViewVolume5", "-10"}}); // extent 10; the nudge stays
    EXPECT_EQ(Grid(), Numbers({2, 0.4}) + " 0.25");
}

TEST_F(ScenePropertiesDialogTest, OkRefusesABadPrecisionOrVolumeAndThenWritesEverySetting) {
    for (const char* refused : {"0", "11", "10.6"}) {
        Set({{"txtPrecision", refused}});
        EXPECT_EQ(Ok(), "Unit precision must be between 1 and 10") << refused;
    }
    Set({{"txtPrecision", "2.5"}, {"txtViewVolume1", "-20"}}); // X-max equal to X-min
    EXPECT_EQ(Ok(), "Invalid Scene Dimensions specified");
    Set({{"txtViewVolume1", "20"}, {"txtViewVolume4", "30"}}); // Z-min above Z-max
    EXPECT_EQ(Ok(), "Invalid Scene Dimensions specified");
    EXPECT_TRUE(scene.Precision == 4 && scene.ViewVolumeMax.x == 20);

    // An empty minimum reads as 0, below a positive maximum; halves round to even.
    Set({{"txtViewVolume4", ""}, {"txtViewVolume0", "-5"}, {"txtViewVolume3", "7,5"}});
    Tick("cAutoGrid");
    Tick("cAutoNudge");
    Set({{"txtGridMinor", "0.5"}, {"txtGridMajor", "2"}, {"txtNudgeOffset", "0.1"}, {"txtAngleStep", "15"}});
    EXPECT_EQ(Ok(), "");
    EXPECT_TRUE(App().DialogScene == &scene && scene.Precision == 2);
    EXPECT_TRUE(scene.ViewVolumeMin.z == 0 && scene.ViewVolumeMin.x == -5 && scene.ViewVolumeMax.y == 7.5);
    EXPECT_TRUE(!scene.AutoGrid && scene.MinorGrid == 0.5 && scene.MajorGrid == 2);
    EXPECT_TRUE(!scene.AutoNudge && scene.NudgeOffset == 0.1 && scene.AngleStep == 15);
    dialog->show();
    Set({{"txtPrecision", "10.4"}});
    EXPECT_EQ(Ok(), "");
    EXPECT_EQ(scene.Precision, 10);
}

TEST_F(ScenePropertiesDialogTest, StyleRowsShowTheEditedCopyAndCancelKeepsOnlyWhatARefusedOkWrote) {
    EditStyle("cmOtlLine", "2.0 pt");
    EditStyle("cmOtlLine", ""); // a cancelled style dialog leaves the row as it was
    EditStyle("cmOtlHorizon", "None");
    EXPECT_EQ(Shown("txtLineStyle") + " / " + Shown("txtHorizonStyle"), "2 pt, solid / None");
    Click(dialog->Button("cmCancel"));
    EXPECT_TRUE(App().DialogScene == nullptr && scene.Line.Width == 1 && scene.Horizon.Width == 0.25);

    OpenDialog();
    EditStyle("cmOtlGridMajor", "3.0 pt");
    Set({{"txtPrecision", "0"}, {"txtViewVolume0", "-1"}});
    EXPECT_EQ(Ok(), "Unit precision must be between 1 and 10");
    Click(dialog->Button("cmCancel"));
    // Everything after the styles stayed.
    EXPECT_TRUE(scene.GridMajor.Width == 3 && scene.ViewVolumeMin.x == -20 && !scene.Modified);
}

TEST_F(ScenePropertiesDialogTest, TheEntryFunctionMarksTheSceneChangedAndWorksAnInvalidGridOutAgain) {
    dialog.reset();
    OnNextDialog<frmSceneProperties>([](frmSceneProperties& shown) {
        shown.findChild<QCheckBox*>("cAutoGrid")->click();
        Type(shown.Field("txtGridMinor"), "0"); // not valid: worked out from the volume after OK
        Type(shown.Field("txtViewVolume5"), "-10");
        Click(shown.Button("cmOK"));
    });
    EXPECT_TRUE(ShowScenePropertiesDialog(nullptr, scene));
    EXPECT_TRUE(App().DialogScene == nullptr && scene.Modified && !scene.AutoGrid && scene.AngleStep == 3);
    EXPECT_EQ(Numbers({scene.MajorGrid, scene.MinorGrid, scene.NudgeOffset}), Numbers({2, 0.4, 0.4}));
}

} // namespace
} // namespace ov::testing
