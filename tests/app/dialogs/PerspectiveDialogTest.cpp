// "Edit Perspective" on a real scene: typed fields, the field-of-view list, Apply, OK and
// Cancel, with the camera and the undo list checked afterwards.
#include "FunctionDialogTestSupport.h"

#include <cmath>

#include "app/dialogs/frmPerspective.h"

namespace ov::testing {
namespace {

using namespace functiondialogs;

constexpr double kPi = 3.14159265358979;
std::string Degrees(double tangent) { return FormatNumber(std::atan(tangent) * 180 / kPi); }

class PerspectiveDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        App().ActiveScene = &scene;
        dialog = std::make_unique<frmPerspective>(scene);
        ASSERT_TRUE(Open(*dialog));
    }
    void TearDown() override {
        dialog.reset();
        App().ActiveScene = nullptr;
    }
    void Set(std::initializer_list<std::pair<const char*, const char*>> typed) {
        for (const auto& [name, text] : typed) Type(dialog->Field(name), text);
    }
    void Press(const char* name) { Click(dialog->findChild<QPushButton*>(name)); }
    void Tick(const char* name) { ClickOption(dialog->findChild<QCheckBox*>(name)); }
    void Mode(const char* entry) { Choose(dialog->findChild<QComboBox*>("cbFieldOfView"), entry); }
    std::string Shown(const char* name) { return dialog->Field(name)->text().toStdString(); }
    bool Enabled(const char* name) { return dialog->Field(name)->isEnabled(); }

    clsScene scene;
    RecordingPrompt prompt;
    ScopedPrompt scoped{prompt};
    std::unique_ptr<frmPerspective> dialog;
};

TEST_F(PerspectiveDialogTest, OpensWithTheSceneNameAndTheCameraFields) {
    const clsPerspective& camera = scene.GetPerspective();
    EXPECT_EQ(dialog->windowTitle().toStdString(), "Edit Perspective - " + scene.Name);
    EXPECT_EQ(Shown("txtViewPoint0"), FormatNumber(camera.EyePoint.x));
    EXPECT_EQ(Shown("txtHorizon2"), FormatNumber(camera.Horizon.z));
    EXPECT_EQ(dialog->findChild<QComboBox*>("cbFieldOfView")->currentIndex(), camera.Field);
    EXPECT_EQ(dialog->findChild<QCheckBox*>("cShowHorizon")->isChecked(), camera.ShowHorizon);
    // Back clipping can only be typed while it is switched on.
    EXPECT_EQ(Enabled("txtClipBack"), camera.ClipBack);
    Tick("cClipBack");
    EXPECT_NE(Enabled("txtClipBack"), camera.ClipBack);
    EXPECT_NE(LabelEnabled(*dialog, "Back:"), camera.ClipBack);
    EXPECT_FALSE(scene.TreeManager.CanUndo()); // nothing is written before Apply
}

TEST_F(PerspectiveDialogTest, EachFieldOfViewEntryWorksTheWindowOutItsOwnWay) {
    Mode("1:1");
    Set({{"txtDistance", "0.5"}, {"txtUVRatio", "1.41"}});
    Mode("2:1");
    // Half window: distance x 10 / 20; the wider side is u, a ratio below 1 makes it v.
    const double h = 0.5 * 10 / 20;
    EXPECT_EQ(Shown("txtUMin"), FormatNumber(-h));
    EXPECT_EQ(Shown("txtVMax"), FormatNumber(h / 1.41));
    EXPECT_EQ(Shown("txtAngle").substr(0, 6), "26.565");
    EXPECT_FALSE(Enabled("txtUMin"));
    EXPECT_FALSE(LabelEnabled(*dialog, "v-max:"));
    EXPECT_TRUE(Enabled("txtUVRatio"));
    EXPECT_FALSE(Enabled("txtAngle"));
    Set({{"txtUVRatio", "0.5"}});
    EXPECT_EQ(Shown("txtVMax"), FormatNumber(h));
    EXPECT_EQ(Shown("txtUMax"), FormatNumber(h * 0.5));

    Mode("Angle");
    EXPECT_TRUE(LabelEnabled(*dialog, "&Angle:"));
    Set({{"txtAngle", "45"}, {"txtDistance", "1"}, {"txtUVRatio", "1"}});
    EXPECT_EQ(Shown("txtUMax") + Shown("txtVMin"), FormatNumber(1) + FormatNumber(-1));
    EXPECT_EQ(Shown("txtAngle"), "45"); // as typed, not worked out from the window

    Mode("Custom");
    EXPECT_TRUE(LabelEnabled(*dialog, "u-min:"));
    EXPECT_FALSE(Enabled("txtUVRatio"));
    EXPECT_FALSE(Enabled("txtAngle"));
    // The largest edge decides the implied half-angle; a distance of 0 is taken as the
    // smallest distance the precision shows.
    Set({{"txtUMin", "-1"}, {"txtUMax", "2"}, {"txtVMin", "-0,5"}, {"txtVMax", "2"}});
    EXPECT_EQ(Shown("txtAngle"), Degrees(2));
    Set({{"txtVMin", "-3"}});
    EXPECT_EQ(Shown("txtAngle"), Degrees(3));
    Set({{"txtDistance", "0"}});
    EXPECT_EQ(Shown("txtAngle"), Degrees(3 / 0.0001));
    Set({{"txtVMin", "-0,5"}, {"txtDistance", "1"}, {"txtHorizon0", "1"}, {"txtHorizonOffset", "2.5"}});
    Tick("cShowCenter");
    Tick("cShowVanish");
    Press("ApplyButton");
    const clsPerspective& camera = scene.GetPerspective();
    EXPECT_EQ(camera.Field, 0);
    EXPECT_DOUBLE_EQ(camera.UMin, -1);
    EXPECT_DOUBLE_EQ(camera.VMin, -0.5);
    EXPECT_DOUBLE_EQ(camera.VMax, 2);
    EXPECT_TRUE(camera.ShowCenter);
    EXPECT_FALSE(camera.ShowVanishLines);
    EXPECT_DOUBLE_EQ(camera.Horizon.x, 1);
    EXPECT_DOUBLE_EQ(camera.HorizonOffset, 2.5);
}

TEST_F(PerspectiveDialogTest, ApplyKeepsDistancesAndAnglesInRangeAndShowsTheStoredValues) {
    scene.Precision = 2;
    Mode("Angle");
    Set({{"txtDistance", "0"}, {"txtAngle", "90"}, {"txtUVRatio", "0"}, {"txtClipFront", "7"}});
    Tick("cClipBack");
    Set({{"txtClipBack", "1e9"}, {"txtViewPoint0", "abc"}, {"txtViewPoint1", " 1,5 "}});
    Press("ApplyButton");
    const clsPerspective& camera = scene.GetPerspective();
    // Exclusive limits move inwards by one unit of the last shown decimal; the front plane
    // stops at the picture plane, the back plane at the front plane.
    EXPECT_DOUBLE_EQ(camera.Distance, 0.01);
    EXPECT_DOUBLE_EQ(camera.FieldAngle, 89.99);
    EXPECT_DOUBLE_EQ(camera.UVRatio, 0.001);
    EXPECT_DOUBLE_EQ(camera.FrontClipping, 0.01);
    EXPECT_DOUBLE_EQ(camera.BackClipping, 0.01);
    EXPECT_TRUE(camera.ClipBack);
    EXPECT_DOUBLE_EQ(camera.EyePoint.x, 0);
    EXPECT_DOUBLE_EQ(camera.EyePoint.y, 1.5);
    EXPECT_EQ(camera.Field, 1);
    // The window follows the stored angle and ratio.
    const double h = std::tan(89.99 * kPi / 180) * 0.01;
    EXPECT_NEAR(camera.VMax, h, 1e-9);
    EXPECT_NEAR(camera.UMax, h * 0.001, 1e-12);
    for (const char* name : {"txtDistance", "txtClipFront", "txtClipBack"}) EXPECT_EQ(Shown(name), "0.01") << name;
    EXPECT_EQ(Shown("txtAngle"), "89.99");
    EXPECT_EQ(Shown("txtUVRatio"), "0.00");
    EXPECT_EQ(Shown("txtViewPoint0"), "0.00");
    // Inclusive limits hold the values at the limit itself.
    Set({{"txtUVRatio", "5000"}, {"txtClipFront", "-1e9"}, {"txtClipBack", "-1e9"}});
    Press("ApplyButton");
    EXPECT_DOUBLE_EQ(camera.UVRatio, 1000);
    EXPECT_DOUBLE_EQ(camera.FrontClipping, -100000);
    EXPECT_DOUBLE_EQ(camera.BackClipping, -100000);
}

TEST_F(PerspectiveDialogTest, ApplyIsOneUndoStepCancelKeepsWhatWasAppliedAndTheWindowIsWorkedOutOnce) {
    EXPECT_EQ(dialog->PreviewRuns(), 1); // the change events of the filled boxes are held off
    const clsPerspective before = scene.GetPerspective().Duplicate();
    Set({{"txtViewPoint0", "12"}, {"txtDistance", "2"}});
    const int afterTyping = dialog->PreviewRuns();
    QTest::keyClicks(dialog->Field("txtDistance"), "5");
    EXPECT_EQ(dialog->PreviewRuns(), afterTyping + 1); // once per keystroke in a box it depends on
    Set({{"txtViewPoint0", "12"}});
    EXPECT_EQ(dialog->PreviewRuns(), afterTyping + 1);
    Press("ApplyButton");
    EXPECT_EQ(dialog->PreviewRuns(), afterTyping + 2);
    EXPECT_TRUE(scene.Modified);
    ASSERT_EQ(scene.TreeManager.UndoList.size(), 1u);
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Edit Perspective");

    Set({{"txtViewPoint0", "99"}});
    Press("CancelButton");
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_DOUBLE_EQ(scene.GetPerspective().EyePoint.x, 12);
    EXPECT_DOUBLE_EQ(scene.GetPerspective().Distance, 25);
    EXPECT_EQ(scene.TreeManager.UndoList.size(), 1u);
    scene.TreeManager.Undo();
    EXPECT_DOUBLE_EQ(scene.GetPerspective().EyePoint.x, before.EyePoint.x);
    EXPECT_FALSE(scene.Modified);
}

TEST_F(PerspectiveDialogTest, TheEntryFunctionReportsWhetherOkApplied) {
    OnNextDialog<frmPerspective>([](frmPerspective& shown) {
        Type(shown.Field("txtViewPoint1"), "-8");
        Click(shown.findChild<QPushButton*>("OKButton"));
    });
    EXPECT_TRUE(ShowPerspectiveDialog(nullptr, scene));
    EXPECT_DOUBLE_EQ(scene.GetPerspective().EyePoint.y, -8);
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Edit Perspective");
    OnNextDialog<frmPerspective>([](frmPerspective& shown) { QTest::keyClick(&shown, Qt::Key_Escape); });
    EXPECT_FALSE(ShowPerspectiveDialog(nullptr, scene));
    EXPECT_EQ(scene.TreeManager.UndoList.size(), 1u);
    EXPECT_TRUE(prompt.Messages.empty());
}

} // namespace
} // namespace ov::testing
