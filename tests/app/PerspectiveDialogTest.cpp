// "Edit Perspective" on a real scene: typed fields, the field-of-view list, Apply, OK and
// Cancel, with the camera and the undo list checked afterwards.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <memory>
#include <string>

#include "app/dialogs/frmPerspective.h"
#include "platform/Prompt.h"
#include "scene/AppState.h"
#include "scene/clsScene.h"

namespace ov {
namespace {

constexpr double kPi = 3.14159265358979;

class PerspectiveDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        App().ActiveScene = &scene;
        Open();
    }
    void TearDown() override {
        dialog.reset();
        App().ActiveScene = nullptr;
    }

    void Open() {
        dialog = std::make_unique<frmPerspective>(scene);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }

    QLineEdit* Field(const char* name) {
        QLineEdit* field = dialog->Field(name);
        EXPECT_NE(field, nullptr) << name;
        return field;
    }
    template <class T>
    T* Control(const char* name) {
        T* control = dialog->findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    // Replaces a field's text by typing, as the user would.
    void Type(const char* name, const char* text) {
        QLineEdit* field = Field(name);
        QTest::mouseClick(field, Qt::LeftButton);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }
    // Picks an entry of the field-of-view list with the keyboard: Home, then Down.
    void ChooseField(const char* entry) {
        auto* list = Control<QComboBox>("cbFieldOfView");
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = list->findText(entry); i > 0; --i) QTest::keyClick(list, Qt::Key_Down);
        ASSERT_EQ(list->currentText().toStdString(), entry);
    }
    void Click(const char* name) { QTest::mouseClick(Control<QPushButton>(name), Qt::LeftButton); }
    void Tick(const char* name) {
        auto* box = Control<QCheckBox>(name);
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
    }
    std::string Shown(const char* name) { return Field(name)->text().toStdString(); }
    bool LabelEnabled(const char* caption) {
        for (QLabel* label : dialog->findChildren<QLabel*>())
            if (label->text() == caption) return label->isEnabled();
        ADD_FAILURE() << "no label " << caption;
        return false;
    }

    clsScene scene;
    RecordingPrompt prompt;
    ScopedPrompt scoped{prompt};
    std::unique_ptr<frmPerspective> dialog;
};

TEST_F(PerspectiveDialogTest, OpensWithTheSceneNameAndTheCameraFields) {
    clsPerspective& camera = scene.GetPerspective();
    EXPECT_EQ(dialog->windowTitle().toStdString(), "Edit Perspective - " + scene.Name);
    EXPECT_EQ(Shown("txtViewPoint0"), FormatNumber(camera.EyePoint.x));
    EXPECT_EQ(Shown("txtNormal2"), FormatNumber(camera.Normal.z));
    EXPECT_EQ(Shown("txtHorizon2"), FormatNumber(camera.Horizon.z));
    EXPECT_EQ(Control<QComboBox>("cbFieldOfView")->currentIndex(), camera.Field);
    EXPECT_EQ(Control<QCheckBox>("cShowHorizon")->isChecked(), camera.ShowHorizon);
    EXPECT_EQ(Control<QCheckBox>("cClipBack")->isChecked(), camera.ClipBack);
    // Back clipping can only be typed while it is switched on.
    EXPECT_EQ(Field("txtClipBack")->isEnabled(), camera.ClipBack);
    Tick("cClipBack");
    EXPECT_NE(Field("txtClipBack")->isEnabled(), camera.ClipBack);
    EXPECT_NE(LabelEnabled("Back:"), camera.ClipBack);
    // Nothing is written before Apply.
    EXPECT_FALSE(scene.TreeManager.CanUndo());
    EXPECT_FALSE(scene.Modified);
}

TEST_F(PerspectiveDialogTest, ARatioEntryPreviewsTheWindowAndItsHalfAngle) {
    ChooseField("1:1");
    Type("txtDistance", "0.5");
    Type("txtUVRatio", "1.41");
    ChooseField("2:1");
    // Half window: distance x 10 / 20; the wider side is u.
    const double h = 0.5 * 10 / 20;
    EXPECT_EQ(Shown("txtUMin"), FormatNumber(-h));
    EXPECT_EQ(Shown("txtUMax"), FormatNumber(h));
    EXPECT_EQ(Shown("txtVMin"), FormatNumber(-h / 1.41));
    EXPECT_EQ(Shown("txtVMax"), FormatNumber(h / 1.41));
    EXPECT_EQ(Shown("txtAngle"), FormatNumber(std::atan(h / 0.5) * 180 / kPi));
    EXPECT_EQ(Shown("txtAngle").substr(0, 6), "26.565");
    EXPECT_FALSE(Field("txtUMin")->isEnabled());
    EXPECT_FALSE(LabelEnabled("v-max:"));
    EXPECT_TRUE(Field("txtUVRatio")->isEnabled());
    EXPECT_FALSE(Field("txtAngle")->isEnabled());

    // A ratio below 1 makes v the wider side.
    Type("txtUVRatio", "0.5");
    EXPECT_EQ(Shown("txtVMax"), FormatNumber(h));
    EXPECT_EQ(Shown("txtUMax"), FormatNumber(h * 0.5));
}

TEST_F(PerspectiveDialogTest, TheAngleEntryTakesTheWindowFromTheAngleAndCustomFromTheBoxes) {
    ChooseField("Angle");
    EXPECT_TRUE(Field("txtAngle")->isEnabled());
    EXPECT_TRUE(LabelEnabled("&Angle:"));
    Type("txtAngle", "45");
    Type("txtDistance", "1");
    Type("txtUVRatio", "1");
    for (const char* name : {"txtUMax", "txtVMax"}) EXPECT_EQ(Shown(name), FormatNumber(1)) << name;
    for (const char* name : {"txtUMin", "txtVMin"}) EXPECT_EQ(Shown(name), FormatNumber(-1)) << name;
    // The angle is what the user types here, not worked out from the window.
    EXPECT_EQ(Shown("txtAngle"), "45");

    ChooseField("Custom");
    EXPECT_TRUE(Field("txtUMin")->isEnabled());
    EXPECT_TRUE(LabelEnabled("u-min:"));
    EXPECT_FALSE(Field("txtUVRatio")->isEnabled());
    EXPECT_FALSE(Field("txtAngle")->isEnabled());
    // The largest edge decides the implied half-angle.
    Type("txtUMax", "2");
    EXPECT_EQ(Shown("txtAngle"), FormatNumber(std::atan(2.0) * 180 / kPi));
    Type("txtVMin", "-3");
    EXPECT_EQ(Shown("txtAngle"), FormatNumber(std::atan(3.0) * 180 / kPi));
    // A distance of 0 is taken as the smallest distance the precision shows.
    Type("txtDistance", "0");
    EXPECT_EQ(Shown("txtAngle"), FormatNumber(std::atan(3.0 / 0.0001) * 180 / kPi));
}

TEST_F(PerspectiveDialogTest, ApplyKeepsDistancesAndAnglesInRangeAndShowsTheStoredValues) {
    scene.Precision = 2;
    ChooseField("Angle");
    Type("txtDistance", "0");
    Type("txtAngle", "90");
    Type("txtUVRatio", "0");
    Type("txtClipFront", "7");
    Tick("cClipBack");
    Type("txtClipBack", "1e9");
    Type("txtViewPoint0", "abc");
    Type("txtViewPoint1", " 1,5 ");
    Click("ApplyButton");

    const clsPerspective& camera = scene.GetPerspective();
    // Exclusive limits move inwards by one unit of the last shown decimal.
    EXPECT_DOUBLE_EQ(camera.Distance, 0.01);
    EXPECT_DOUBLE_EQ(camera.FieldAngle, 89.99);
    EXPECT_DOUBLE_EQ(camera.UVRatio, 0.001);
    // The front plane stops at the picture plane, the back plane at the front plane.
    EXPECT_DOUBLE_EQ(camera.FrontClipping, camera.Distance);
    EXPECT_DOUBLE_EQ(camera.BackClipping, camera.FrontClipping);
    EXPECT_TRUE(camera.ClipBack);
    EXPECT_DOUBLE_EQ(camera.EyePoint.x, 0);
    EXPECT_DOUBLE_EQ(camera.EyePoint.y, 1.5);
    EXPECT_EQ(camera.Field, 1);
    // The window follows the stored angle and ratio.
    const double h = std::tan(89.99 * kPi / 180) * 0.01;
    EXPECT_NEAR(camera.VMax, h, 1e-9);
    EXPECT_NEAR(camera.UMax, h * 0.001, 1e-12);

    EXPECT_EQ(Shown("txtDistance"), "0.01");
    EXPECT_EQ(Shown("txtAngle"), "89.99");
    EXPECT_EQ(Shown("txtClipFront"), "0.01");
    EXPECT_EQ(Shown("txtClipBack"), "0.01");
    EXPECT_EQ(Shown("txtUVRatio"), "0.00");
    EXPECT_EQ(Shown("txtViewPoint0"), "0.00");

    // Inclusive limits hold the values at the limit itself.
    Type("txtUVRatio", "5000");
    Type("txtClipFront", "-1e9");
    Type("txtClipBack", "-1e9");
    Click("ApplyButton");
    EXPECT_DOUBLE_EQ(camera.UVRatio, 1000);
    EXPECT_DOUBLE_EQ(camera.FrontClipping, -100000);
    EXPECT_DOUBLE_EQ(camera.BackClipping, -100000);
}

TEST_F(PerspectiveDialogTest, ACustomWindowIsStoredAsTyped) {
    ChooseField("Custom");
    Type("txtUMin", "-1");
    Type("txtUMax", "3");
    Type("txtVMin", "-0,5");
    Type("txtVMax", "2");
    Tick("cShowCenter");
    Tick("cShowVanish");
    Type("txtHorizon0", "1");
    Type("txtHorizonOffset", "2.5");
    Click("ApplyButton");
    const clsPerspective& camera = scene.GetPerspective();
    EXPECT_EQ(camera.Field, 0);
    EXPECT_DOUBLE_EQ(camera.UMin, -1);
    EXPECT_DOUBLE_EQ(camera.UMax, 3);
    EXPECT_DOUBLE_EQ(camera.VMin, -0.5);
    EXPECT_DOUBLE_EQ(camera.VMax, 2);
    EXPECT_TRUE(camera.ShowCenter);
    EXPECT_FALSE(camera.ShowVanishLines);
    EXPECT_DOUBLE_EQ(camera.Horizon.x, 1);
    EXPECT_DOUBLE_EQ(camera.HorizonOffset, 2.5);
}

TEST_F(PerspectiveDialogTest, ApplyIsOneUndoStepAndCancelKeepsWhatWasApplied) {
    const clsPerspective before = scene.GetPerspective().Duplicate();
    Type("txtViewPoint0", "12");
    Type("txtDistance", "2");
    Click("ApplyButton");
    EXPECT_TRUE(scene.Modified);
    ASSERT_EQ(scene.TreeManager.UndoList.size(), 1u);
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Edit Perspective");

    // Typed but not applied: Cancel drops it and keeps the applied camera.
    Type("txtViewPoint0", "99");
    Click("CancelButton");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    const clsPerspective& camera = scene.GetPerspective();
    EXPECT_DOUBLE_EQ(camera.EyePoint.x, 12);
    EXPECT_DOUBLE_EQ(camera.Distance, 2);
    EXPECT_EQ(scene.TreeManager.UndoList.size(), 1u);

    scene.TreeManager.Undo();
    EXPECT_DOUBLE_EQ(scene.GetPerspective().EyePoint.x, before.EyePoint.x);
    EXPECT_DOUBLE_EQ(scene.GetPerspective().Distance, before.Distance);
    EXPECT_FALSE(scene.Modified);
}

TEST_F(PerspectiveDialogTest, OKAppliesAndCloses) {
    Type("txtViewPoint2", "7");
    Click("OKButton");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(scene.GetPerspective().EyePoint.z, 7);
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Edit Perspective");
    EXPECT_TRUE(prompt.Messages.empty());
}

TEST_F(PerspectiveDialogTest, FillingTheControlsWorksOutTheWindowOnce) {
    // Once while opening; the change events of the filled boxes are held off.
    EXPECT_EQ(dialog->PreviewRuns(), 1);
    Click("ApplyButton");
    EXPECT_EQ(dialog->PreviewRuns(), 2);
    // Every keystroke in a box the window depends on works it out again, once.
    Type("txtDistance", "3");
    const int afterTyping = dialog->PreviewRuns();
    QTest::keyClicks(Field("txtDistance"), "5");
    EXPECT_EQ(dialog->PreviewRuns(), afterTyping + 1);
    // Boxes that do not affect the window leave it alone.
    Type("txtViewPoint0", "4");
    EXPECT_EQ(dialog->PreviewRuns(), afterTyping + 1);
}

TEST_F(PerspectiveDialogTest, TheEntryFunctionShowsTheDialogModallyAndReportsWhetherItApplied) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* shown = qobject_cast<frmPerspective*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        seen = true;
        QLineEdit* field = shown->Field("txtViewPoint1");
        field->selectAll();
        QTest::keyClicks(field, "-8");
        QTest::mouseClick(shown->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
    });
    EXPECT_TRUE(ShowPerspectiveDialog(nullptr, scene));
    EXPECT_TRUE(seen);
    EXPECT_DOUBLE_EQ(scene.GetPerspective().EyePoint.y, -8);

    QTimer::singleShot(0, [] {
        auto* shown = qobject_cast<frmPerspective*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        QTest::keyClick(shown, Qt::Key_Escape);
    });
    EXPECT_FALSE(ShowPerspectiveDialog(nullptr, scene));
    EXPECT_EQ(scene.TreeManager.UndoList.size(), 1u);
}

} // namespace
} // namespace ov
