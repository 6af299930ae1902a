// "Edit Perspective" on a real scene: typed fields, the field-of-view list, Apply, OK and
// Cancel, with the camera and the undo list checked afterwards.
#include "FunctionDialogTestSupport.h"

#include <cmath>
#include <gmock/gmock.h>

#include "app/dialogs/frmPerspective.h"

namespace ov::testing {
namespace {

using namespace functiondialogs;

constexpr double kPi = 3.14159265358979;
std::string Degrees(double tangent) { return FormatNumber(std::atan(tangent) * 180 / kPi); }

class PerspectiveDialogTest : public SceneDialogTest, protected NamedFields<frmPerspective> {
protected:
    void SetUp() override { OpenNew(dialog, scene); }
    void Apply() { Click(dialog->findChild<QPushButton*>("ApplyButton")); }
    void Mode(const char* entry) { Choose(dialog->findChild<QComboBox*>("cbFieldOfView"), entry); }
    QString WholeAngle() { return dialog->findChild<QLabel*>("lblWholeAngle")->text(); }

    const clsPerspective& camera = scene.GetPerspective();
};

TEST_F(PerspectiveDialogTest, EachFieldOfViewEntryWorksTheWindowOutItsOwnWayAndApplyKeepsValuesInRange) {
    Mode("1:1");
    Set({{"txtDistance", "0.5"}, {"txtUVRatio", "1.41"}});
    Mode("2:1");
    // Half window: distance x 10 / 20; the wider side is u, a ratio below 1 makes it v.
    const double h = 0.5 * 10 / 20;
    EXPECT_EQ(Shown("txtUMin") + " " + Shown("txtVMax"), Numbers({-h, h / 1.41}));
    EXPECT_EQ(Shown("txtAngle").substr(0, 6), "26.565");
    EXPECT_EQ(WholeAngle(), "field of view 53.1 degrees");
    EXPECT_TRUE(!Enabled("txtUMin") && !LabelEnabled(*dialog, "v-max:") && Enabled("txtUVRatio"));
    EXPECT_FALSE(Enabled("txtAngle"));
    Set({{"txtUVRatio", "0.5"}});
    EXPECT_EQ(Shown("txtVMax") + " " + Shown("txtUMax"), Numbers({h, h * 0.5}));

    Mode("Angle");
    Set({{"txtAngle", "55"}}); // the half angle: the whole field of view shows beside it as it is typed
    EXPECT_EQ(WholeAngle(), "field of view 110.0 degrees");
    Set({{"txtAngle", "45"}, {"txtDistance", "1"}, {"txtUVRatio", "1"}});
    // The angle stays as typed, not worked out from the window.
    EXPECT_EQ(Shown("txtUMax") + " " + Shown("txtVMin") + " " + Shown("txtAngle"), Numbers({1, -1}) + " 45");

    Mode("Custom");
    EXPECT_TRUE(LabelEnabled(*dialog, "u-min:") && !Enabled("txtUVRatio") && !Enabled("txtAngle"));
    // The largest edge either way decides the implied half-angle; a distance of 0 is taken
    // as the smallest distance the precision shows.
    Set({{"txtUMin", "-1"}, {"txtUMax", "2"}, {"txtVMin", "-3"}, {"txtVMax", "2"}, {"txtDistance", "0"}});
    EXPECT_EQ(Shown("txtAngle"), Degrees(3 / 0.0001));
    Set({{"txtVMin", "-0,5"}, {"txtDistance", "1"}, {"txtHorizon0", "1"}, {"txtHorizonOffset", "2.5"}});
    EXPECT_EQ(Shown("txtAngle"), Degrees(2));
    Tick("cShowCenter");
    Tick("cShowVanish");
    Apply();
    EXPECT_TRUE(camera.Field == 0 && camera.UMin == -1 && camera.VMin == -0.5 && camera.VMax == 2);
    EXPECT_TRUE(camera.ShowCenter && !camera.ShowVanishLines);
    EXPECT_TRUE(camera.Horizon.x == 1 && camera.HorizonOffset == 2.5);

    // Apply keeps distances and angles in range and shows the stored values.
    scene.Precision = 2;
    Mode("Angle");
    Set({{"txtDistance", "0"}, {"txtAngle", "90"}, {"txtUVRatio", "0"}, {"txtClipFront", "7"}});
    // Back clipping can only be typed while it is switched on.
    EXPECT_FALSE(Enabled("txtClipBack") || LabelEnabled(*dialog, "Back:"));
    Tick("cClipBack");
    EXPECT_TRUE(Enabled("txtClipBack") && LabelEnabled(*dialog, "Back:"));
    Set({{"txtClipBack", "1e9"}, {"txtViewPoint0", "abc"}, {"txtViewPoint1", " 1,5 "}});
    Apply();
    // Exclusive limits move inwards by one unit of the last shown decimal; the front plane
    // stops at the picture plane, the back plane at the front plane.
    const std::vector kept{camera.Distance, camera.FieldAngle, camera.UVRatio, camera.FrontClipping,
                           camera.BackClipping};
    EXPECT_THAT(kept, ::testing::Pointwise(::testing::DoubleEq(), {0.01, 89.99, 0.001, 0.01, 0.01}));
    EXPECT_TRUE(camera.ClipBack && camera.EyePoint.x == 0 && camera.EyePoint.y == 1.5 && camera.Field == 1);
    // The window follows the stored angle and ratio.
    const double half = std::tan(89.99 * kPi / 180) * 0.01;
    EXPECT_NEAR(camera.VMax, half, 1e-9);
    EXPECT_NEAR(camera.UMax, half * 0.001, 1e-12);
    for (const char* name : {"txtDistance", "txtClipFront", "txtClipBack"}) EXPECT_EQ(Shown(name), "0.01") << name;
    EXPECT_EQ(Shown("txtAngle") + " " + Shown("txtUVRatio") + " " + Shown("txtViewPoint0"), "89.99 0.00 0.00");
    // Inclusive limits hold the values at the limit itself.
    Set({{"txtUVRatio", "5000"}, {"txtClipFront", "-1e9"}, {"txtClipBack", "-1e9"}});
    Apply();
    EXPECT_TRUE(camera.UVRatio == 1000 && camera.FrontClipping == -100000 && camera.BackClipping == -100000);
}

TEST_F(PerspectiveDialogTest, ApplyIsOneUndoStepCancelKeepsWhatWasAppliedAndTheWindowIsWorkedOutOnce) {
    EXPECT_EQ(dialog->PreviewRuns(), 1); // the change events of the filled boxes are held off
    const double eyeX = camera.EyePoint.x;
    Set({{"txtViewPoint0", "12"}, {"txtDistance", "2"}});
    const int runs = dialog->PreviewRuns();
    QTest::keyClicks(dialog->Field("txtDistance"), "5");
    EXPECT_EQ(dialog->PreviewRuns(), runs + 1); // once per keystroke in a box it depends on
    Apply();
    EXPECT_TRUE(scene.Modified && scene.TreeManager.UndoList.size() == 1);
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Edit Perspective");

    Set({{"txtViewPoint0", "99"}});
    Click(dialog->findChild<QPushButton*>("CancelButton"));
    EXPECT_TRUE(camera.EyePoint.x == 12 && camera.Distance == 25 && scene.TreeManager.UndoList.size() == 1);
    scene.TreeManager.Undo();
    EXPECT_TRUE(camera.EyePoint.x == eyeX && !scene.Modified);

    // OK applies too; the entry function tells whether anything was applied.
    OnNextDialog<frmPerspective>([](frmPerspective& shown) {
        Type(shown.Field("txtViewPoint1"), "-8");
        Click(shown.findChild<QPushButton*>("OKButton"));
    });
    EXPECT_TRUE(ShowPerspectiveDialog(nullptr, scene));
    EXPECT_DOUBLE_EQ(scene.GetPerspective().EyePoint.y, -8);
}

} // namespace
} // namespace ov::testing
