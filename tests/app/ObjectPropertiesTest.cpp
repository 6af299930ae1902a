// The ellipse and parametric function property dialogs and the commands that open them:
// typed values, refusals, conversions, verification of formulas, and the undo steps.
#include "FunctionDialogTestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>
#include <memory>
#include <string>

#include "app/dialogs/ObjectProperties.h"
#include "app/dialogs/frmEllipseProperties.h"
#include "app/dialogs/frmFunctionChooser.h"
#include "app/dialogs/frmFunctionProperties.h"
#include "expr/clsError.h"
#include "platform/Prompt.h"
#include "scene/AppState.h"
#include "scene/clsScene.h"
#include "shapes/clsEllipse.h"
#include "shapes/clsFunction.h"
#include "shapes/clsLine.h"

namespace ov::testing {
namespace {

using namespace functiondialogs;

constexpr double kPi = 3.14159265358979323846;

// The polar angle, in degrees in [0, 360), of the point at parameter angle a of an
// ellipse with radii rx and ry.
double PolarDegrees(double rx, double ry, double a) {
    double d = std::atan2(ry * std::sin(a), rx * std::cos(a)) * 180 / kPi;
    return d < 0 ? d + 360 : d;
}

double Distance(const clsPoint3D& a, const clsPoint3D& b) { return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z); }

class ObjectPropertiesTest : public ::testing::Test {
protected:
    // Adds an object to the top of the tree and selects it, without an undo step, and
    // leaves the scene unmodified.
    template <class T>
    T& AddSelected(std::int32_t type, std::unique_ptr<T> object) {
        object->BindToScene(&scene);
        T& added = *object;
        auto node = clsTreeManager::CreateNode(type);
        node->Object = std::move(object);
        key = node->Key;
        scene.TreeManager.AddNode(std::move(node));
        scene.TreeManager.SelectNodeByKey(key, false);
        scene.OnClean();
        return added;
    }

    clsEllipse& AddEllipse(double rx, double ry, double start, double end, std::int32_t flatness) {
        auto e = std::make_unique<clsEllipse>();
        e->SetProps(rx, ry, start, end, flatness, nullptr);
        return AddSelected(clsNode::Ellipse, std::move(e));
    }

    clsFunction& AddFunction() { return AddSelected(clsNode::Function, std::make_unique<clsFunction>()); }

    template <class T>
    T* Object() {
        clsNode* node = scene.TreeManager.FindNode(key);
        return node ? dynamic_cast<T*>(node->Object.get()) : nullptr;
    }

    std::size_t UndoSteps() const { return scene.TreeManager.UndoList.size(); }

    template <class Dialog>
    bool Properties(std::function<void(Dialog&)> action) {
        OnNextDialog<Dialog>(std::move(action));
        return ShowObjectProperties(nullptr, scene);
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& m : prompt.Messages) texts.push_back(m.Text);
        return texts;
    }

    clsScene scene;
    std::string key;
    RecordingPrompt prompt;
    ScopedPrompt promptGuard{prompt};
    ModalWatchdog watchdog;
};

// ------------------------------------------------------------------ ellipse dialog

TEST_F(ObjectPropertiesTest, EllipseDialogShowsDocumentMeasuresAndCancelChangesNothing) {
    clsEllipse& e = AddEllipse(2, 1, kPi / 4, kPi, 0);
    e.Stretch(3, 1, 1, nullptr); // radius 1 is 6 long in the document
    e.Translate(1, -2.5, 3);
    clsEllipse before;
    before.Assign(e);

    const bool changed = Properties<frmEllipseProperties>([&](frmEllipseProperties& d) {
        EXPECT_DOUBLE_EQ(ParseNumber(d.CenterField(0)->text().toStdString()), 1);
        EXPECT_DOUBLE_EQ(ParseNumber(d.CenterField(1)->text().toStdString()), -2.5);
        EXPECT_DOUBLE_EQ(ParseNumber(d.CenterField(2)->text().toStdString()), 3);
        EXPECT_DOUBLE_EQ(ParseNumber(d.RadiusField(1)->text().toStdString()), 6);
        EXPECT_DOUBLE_EQ(ParseNumber(d.RadiusField(2)->text().toStdString()), 1);
        EXPECT_EQ(d.FlatnessField()->text(), "48"); // a stored 0 means the default
        EXPECT_TRUE(d.ArcOption()->isChecked());
        // Angles are polar angles of the ends in the ellipse's own plane, to 3 decimals.
        EXPECT_NEAR(ParseNumber(d.StartAngleField()->text().toStdString()), PolarDegrees(2, 1, kPi / 4), 0.0005);
        EXPECT_NE(ParseNumber(d.StartAngleField()->text().toStdString()), 45);
        EXPECT_NEAR(ParseNumber(d.EndAngleField()->text().toStdString()), 180, 0.0005);
        EXPECT_FALSE(d.StartAngleField()->isReadOnly());

        Type(d.RadiusField(1), "9");
        Type(d.CenterField(0), "100");
        Click(d.CancelButton());
    });
    EXPECT_FALSE(changed);
    const clsEllipse& after = *Object<clsEllipse>();
    EXPECT_EQ(after.RadiusX, before.RadiusX);
    EXPECT_EQ(after.StartAngle, before.StartAngle);
    EXPECT_EQ(after.GetHandlePoint(0).x, 1);
    EXPECT_EQ(UndoSteps(), 0u);
    EXPECT_FALSE(scene.Modified);
    EXPECT_TRUE(prompt.Messages.empty());
}

TEST_F(ObjectPropertiesTest, EllipseOptionLocksTheAnglesAndClosesTheArc) {
    clsEllipse& e = AddEllipse(2, 2, 0, 0, 0);
    clsEllipse copy;
    copy.Assign(e);
    frmEllipseProperties d(copy);
    ASSERT_TRUE(Open(d));
    EXPECT_TRUE(d.EllipseOption()->isChecked());
    EXPECT_TRUE(d.StartAngleField()->isReadOnly());
    EXPECT_TRUE(d.EndAngleField()->isReadOnly());
    const QColor locked = d.StartAngleField()->palette().color(QPalette::Base);

    ClickOption(d.ArcOption());
    ASSERT_TRUE(d.ArcOption()->isChecked());
    EXPECT_FALSE(d.StartAngleField()->isReadOnly());
    EXPECT_NE(d.StartAngleField()->palette().color(QPalette::Base), locked);
    Type(d.StartAngleField(), "30");
    Type(d.EndAngleField(), "120");

    // Back to Ellipse: the typed angles are ignored and the object is a closed ellipse.
    ClickOption(d.EllipseOption());
    EXPECT_TRUE(d.EndAngleField()->isReadOnly());
    Click(d.OkButton());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(copy.StartAngle, 0);
    EXPECT_EQ(copy.EndAngle, 0);
    EXPECT_FALSE(copy.IsArc());
}

TEST_F(ObjectPropertiesTest, FlatnessOutsideItsRangeIsRefusedAndTheDialogStaysOpen) {
    clsEllipse& e = AddEllipse(3, 2, 0, 0, 0);
    const struct {
        const char* typed;
        bool accepted;
        std::int32_t stored;
    } cases[] = {{"3", false, 0},   {"401", false, 0}, {"-4", false, 0}, {"abc", true, 0},    {"4", true, 4},
                 {"400", true, 400}, {"", true, 0},     {" 0 ", true, 0}, {"12,4", true, 12}, {"12abc", true, 12}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        prompt.Messages.clear();
        clsEllipse copy;
        copy.Assign(e);
        frmEllipseProperties d(copy);
        ASSERT_TRUE(Open(d));
        Type(d.FlatnessField(), c.typed);
        Click(d.OkButton());
        if (c.accepted) {
            EXPECT_EQ(d.result(), QDialog::Accepted);
            EXPECT_TRUE(prompt.Messages.empty());
            EXPECT_EQ(copy.Flatness, c.stored);
        } else {
            EXPECT_TRUE(d.isVisible());
            ASSERT_EQ(prompt.Messages.size(), 1u);
            EXPECT_EQ(prompt.LastText(), "Ellipse flatness must be between 4 and 400");
            EXPECT_EQ(prompt.Messages[0].Icon, PromptIcon::Critical);
            EXPECT_EQ(copy.Flatness, 0); // the working copy is not touched by a refusal
            EXPECT_EQ(copy.RadiusX, 3);
        }
    }
}

TEST_F(ObjectPropertiesTest, RadiiMustBePositiveAndFlatnessIsJudgedFirst) {
    clsEllipse& e = AddEllipse(3, 2, 0, 0, 0);
    for (const char* typed : {"0", "-1", "x", ""}) {
        SCOPED_TRACE(typed);
        prompt.Messages.clear();
        clsEllipse copy;
        copy.Assign(e);
        frmEllipseProperties d(copy);
        ASSERT_TRUE(Open(d));
        Type(d.RadiusField(2), typed);
        Click(d.OkButton());
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(Texts(), std::vector<std::string>{"Invalid radius value specified"});
        EXPECT_EQ(copy.RadiusY, 2);

        // Both wrong: only the flatness is reported; once it is fixed, the radius.
        prompt.Messages.clear();
        Type(d.FlatnessField(), "2");
        Click(d.OkButton());
        Type(d.FlatnessField(), "10");
        Click(d.OkButton());
        EXPECT_EQ(Texts(), (std::vector<std::string>{"Ellipse flatness must be between 4 and 400",
                                                     "Invalid radius value specified"}));
        Type(d.RadiusField(2), "1,5"); // a comma is a decimal point
        Click(d.OkButton());
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_DOUBLE_EQ(copy.RadiusY, 1.5);
        EXPECT_EQ(copy.Flatness, 10);
    }
}

TEST_F(ObjectPropertiesTest, TypedAnglesAreNormalisedAndNearlyEqualOnesCloseTheEllipse) {
    // On a circle polar and parameter angles agree, so the stored angles can be read
    // directly.
    clsEllipse& e = AddEllipse(2, 2, 0, 0, 0);
    const double deg = kPi / 180;
    const struct {
        const char* start;
        const char* end;
        double storedStart, storedEnd;
        bool arc;
    } cases[] = {
        {"-90", "450", 270 * deg, 90 * deg, true},
        {"720", "-360", 0, 0, false},
        {"90", "90.5", 0, 0, false},     // 0.0087 rad apart: a full ellipse
        {"90", "92", 90 * deg, 92 * deg, true},
        {"359.5", "0.5", 0, 0, false},   // close across the full turn
        {"10", "", 10 * deg, 0, true},   // an empty box is 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " " + c.end);
        clsEllipse copy;
        copy.Assign(e);
        frmEllipseProperties d(copy);
        ASSERT_TRUE(Open(d));
        ClickOption(d.ArcOption());
        Type(d.StartAngleField(), c.start);
        Type(d.EndAngleField(), c.end);
        Click(d.OkButton());
        ASSERT_EQ(d.result(), QDialog::Accepted);
        EXPECT_NEAR(copy.StartAngle, c.storedStart, 1e-12);
        EXPECT_NEAR(copy.EndAngle, c.storedEnd, 1e-12);
        EXPECT_EQ(copy.IsArc(), c.arc);
    }
    EXPECT_TRUE(prompt.Messages.empty());
}

TEST_F(ObjectPropertiesTest, TypedPolarAnglesPutTheArcEndsWhereTheUserSaid) {
    // A stretched, moved ellipse with new radii: the arc's ends must lie in the typed
    // directions of the ellipse's own plane.
    clsEllipse& e = AddEllipse(2, 1, 0, 0, 0);
    e.Stretch(1, 2, 1, nullptr);
    e.Translate(5, 5, 0);
    clsEllipse copy;
    copy.Assign(e);
    frmEllipseProperties d(copy);
    ASSERT_TRUE(Open(d));
    ClickOption(d.ArcOption());
    Type(d.RadiusField(1), "6"); // shown as 2
    Type(d.RadiusField(2), "3"); // shown as 2 (1 stretched twice)
    Type(d.StartAngleField(), "30");
    Type(d.EndAngleField(), "200");
    Type(d.CenterField(2), "-1");
    Click(d.OkButton());
    ASSERT_EQ(d.result(), QDialog::Accepted);

    const clsPoint3D centre = copy.GetHandlePoint(0);
    EXPECT_NEAR(Distance(centre, {5, 5, -1}), 0, 1e-12);
    EXPECT_NEAR(Distance(centre, copy.GetHandlePoint(1)), 6, 1e-12);
    EXPECT_NEAR(Distance(centre, copy.GetHandlePoint(2)), 3, 1e-12);
    // The stored radii keep their relation to the matrix.
    EXPECT_NEAR(copy.RadiusX, 6, 1e-12);
    EXPECT_NEAR(copy.RadiusY, 1.5, 1e-12);
    // In the local plane the radii now differ (6 and 1.5): the parameter angles differ
    // from the typed polar ones, but the ends lie on the typed rays of the local plane.
    EXPECT_NEAR(PolarDegrees(copy.RadiusX, copy.RadiusY, copy.StartAngle), 30, 1e-9);
    EXPECT_NEAR(PolarDegrees(copy.RadiusX, copy.RadiusY, copy.EndAngle), 200, 1e-9);
    EXPECT_GT(std::fabs(copy.StartAngle - 30 * kPi / 180), 0.1);
    // And the dialog shows them so again.
    frmEllipseProperties again(copy);
    EXPECT_NEAR(ParseNumber(again.StartAngleField()->text().toStdString()), 30, 1e-9);
    EXPECT_NEAR(ParseNumber(again.EndAngleField()->text().toStdString()), 200, 1e-9);
}

TEST_F(ObjectPropertiesTest, OkWithoutEditsKeepsTheEllipseExactly) {
    clsEllipse& e = AddEllipse(2.123456789, 0.7, 0.3, 2.9, 24);
    e.RotateRel(10, 20, 30, nullptr);
    e.Translate(1.000001, 2.0000004, 3.3333333);
    clsEllipse copy;
    copy.Assign(e);
    frmEllipseProperties d(copy);
    ASSERT_TRUE(Open(d));
    Click(d.OkButton());
    ASSERT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(copy.RadiusX, e.RadiusX);
    EXPECT_EQ(copy.RadiusY, e.RadiusY);
    EXPECT_NEAR(copy.StartAngle, e.StartAngle, 1e-12);
    EXPECT_NEAR(copy.EndAngle, e.EndAngle, 1e-12);
    EXPECT_EQ(copy.Flatness, 24);
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(Distance(copy.GetHandlePoint(i), e.GetHandlePoint(i)), 0, 1e-12) << i;
}

TEST_F(ObjectPropertiesTest, ACentreBeyondTheNumberRangeIsRefused) {
    // Radii this large square beyond the number range, which must not matter either.
    clsEllipse& e = AddEllipse(1e300, 1e300, 0, 0, 0);
    e.Translate(-1e308, 0, 0);
    clsEllipse copy;
    copy.Assign(e);
    frmEllipseProperties d(copy);
    ASSERT_TRUE(Open(d));
    Type(d.CenterField(0), "1e308");
    Click(d.OkButton());
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(Texts(), std::vector<std::string>{"Invalid center position specified"});
    EXPECT_EQ(copy.GetHandlePoint(0).x, -1e308);
}

TEST_F(ObjectPropertiesTest, ConfirmedEllipseDialogIsOneUndoStep) {
    AddEllipse(2, 1, 0, 0, 0);
    const bool changed = Properties<frmEllipseProperties>([&](frmEllipseProperties& d) {
        Type(d.RadiusField(1), "5");
        Type(d.CenterField(1), "7");
        Click(d.OkButton());
    });
    EXPECT_TRUE(changed);
    EXPECT_DOUBLE_EQ(Object<clsEllipse>()->RadiusX, 5);
    EXPECT_DOUBLE_EQ(Object<clsEllipse>()->GetHandlePoint(0).y, 7);
    ASSERT_EQ(UndoSteps(), 1u);
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Object Properties");
    EXPECT_TRUE(scene.Modified);

    scene.TreeManager.Undo();
    EXPECT_DOUBLE_EQ(Object<clsEllipse>()->RadiusX, 2);
    EXPECT_DOUBLE_EQ(Object<clsEllipse>()->GetHandlePoint(0).y, 0);
}

TEST_F(ObjectPropertiesTest, ObjectsWithoutADialogAndClosingTheWindowChangeNothing) {
    // Lines and groups have no property dialog.
    clsNode* house = scene.GetRootNode()->FirstChild();
    scene.TreeManager.SelectNodeByKey(house->Key, false);
    EXPECT_FALSE(ShowObjectProperties(nullptr, scene));
    clsNode* line = house->FirstChild();
    while (line && line->NodeType != clsNode::Line) line = line->NextSibling();
    ASSERT_NE(line, nullptr);
    scene.TreeManager.SelectNodeByKey(line->Key, false);
    EXPECT_FALSE(ShowObjectProperties(nullptr, scene));
    scene.TreeManager.ClearSelection();
    EXPECT_FALSE(ShowObjectProperties(nullptr, scene));

    // The close box of the window works as Cancel.
    AddEllipse(2, 1, 0, 0, 0);
    const bool changed = Properties<frmEllipseProperties>([](frmEllipseProperties& d) {
        Type(d.RadiusField(1), "5");
        d.close();
    });
    EXPECT_FALSE(changed);
    EXPECT_EQ(Object<clsEllipse>()->RadiusX, 2);
    EXPECT_EQ(UndoSteps(), 0u);
}

// ------------------------------------------------------------------ function dialog

class FunctionPropertiesTest : public ObjectPropertiesTest {
protected:
    // Opens the dialog on a copy of the selected function object, as the command does.
    void OpenCopy() {
        copy = std::make_unique<clsFunction>();
        copy->Assign(*Object<clsFunction>());
        dialog = std::make_unique<frmFunctionProperties>(*copy, scene);
        ASSERT_TRUE(Open(*dialog));
    }
    QLineEdit* Box(int field) { return dialog->FieldBox(field); }
    std::string Status() { return dialog->StatusLine()->text().toStdString(); }
    // Presses OK; the message it gave, or "" when the dialog closed.
    std::string PressOk() {
        prompt.Messages.clear();
        Click(dialog->OkButton());
        if (dialog->result() == QDialog::Accepted) return "";
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(prompt.Messages.size(), 1u);
        if (prompt.Messages.empty()) return "?";
        EXPECT_EQ(prompt.Messages[0].Title, "Error");
        EXPECT_EQ(prompt.Messages[0].Icon, PromptIcon::Critical);
        return prompt.LastText();
    }

    std::unique_ptr<clsFunction> copy;
    std::unique_ptr<frmFunctionProperties> dialog;
};

TEST_F(FunctionPropertiesTest, StatusLineShowsWhatTheFocusedBoxMeans) {
    AddFunction();
    OpenCopy();
    const char* shown[] = {"t", "t", "t", "0", "10", "(To-From)/20"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(Box(i)->text().toStdString(), shown[i]) << i;

    QTest::mouseClick(Box(frmFunctionProperties::FieldStep), Qt::LeftButton);
    EXPECT_EQ(Status(), "Step = 0.5"); // computed from the other two
    Type(Box(frmFunctionProperties::FieldTo), "2");
    EXPECT_EQ(Status(), "To = 2");
    Type(Box(frmFunctionProperties::FieldStep), "(To-From)/8");
    EXPECT_EQ(Status(), "Step = 0.25");
    Type(Box(frmFunctionProperties::FieldFrom), "1/0");
    EXPECT_EQ(Status(), "From: Division By Zero in 'From'");

    // Formulas of t are only checked, not computed.
    Type(Box(frmFunctionProperties::FieldY), "sqrt(t-5)");
    EXPECT_EQ(Status(), "Y(T) = \"sqrt(t-5)\"");
    Type(Box(frmFunctionProperties::FieldY), "(t+1");
    EXPECT_EQ(Status(), "Y(T): ')' expected in 'Y'");
    Type(Box(frmFunctionProperties::FieldZ), "foo(t)");
    EXPECT_EQ(Status(), "Z(T): Function 'FOO' not defined");

    // Leaving the boxes clears the line; the copy follows what was typed.
    dialog->OkButton()->setFocus();
    EXPECT_EQ(Status(), "");
    EXPECT_EQ(FindInList(copy->Functions, "Y")->Body, "(t+1");
    EXPECT_EQ(FindInList(copy->Functions, "To")->Body, "2");
}

TEST_F(FunctionPropertiesTest, VerificationFindsErrorsAnywhereOnTheSampledRange) {
    AddFunction();
    OpenCopy();
    using F = frmFunctionProperties;
    Type(Box(F::FieldStep), "0");
    EXPECT_EQ(PressOk(), "Error: T Step cannot be 0");

    Type(Box(F::FieldStep), "(To-From)/20");
    Type(Box(F::FieldY), "SQRT(T-5)");
    EXPECT_EQ(PressOk(), "Error: Negative square root in 'y'");

    // Only the last sampled value, t = 10, is out of the domain.
    Type(Box(F::FieldY), "t");
    Type(Box(F::FieldZ), "sqrt(9.9-t)");
    EXPECT_EQ(PressOk(), "Error: Negative square root in 'z'");

    // With a step of 0.3 on 0..1 the curve ends at 0.9: 1 itself is never sampled.
    Type(Box(F::FieldZ), "sqrt(0.95-t)");
    Type(Box(F::FieldTo), "1");
    Type(Box(F::FieldStep), "0.3");
    Type(Box(F::FieldX), "1e3 & 1==1");
    EXPECT_EQ(PressOk(), "Error: Syntax error at symbol '==' in 'x'");
    Type(Box(F::FieldX), "From + To + Step*t");
    // X is called with t alone, also when a scene function X declares other parameters.
    clsFncDef x;
    x.ParseName("X(A,B)");
    x.Body = "A";
    scene.Functions.push_back(x);
    EXPECT_EQ(PressOk(), "Error: Too few parameters in call to function 'X' from 'X'");
    scene.Functions.pop_back();
    EXPECT_EQ(PressOk(), "");
    EXPECT_DOUBLE_EQ(copy->TFrom, 0);
    EXPECT_DOUBLE_EQ(copy->TTo, 1);
    EXPECT_DOUBLE_EQ(copy->TStep, 0.3);
    EXPECT_EQ(copy->BreakApart().size(), 3u);
}

TEST_F(FunctionPropertiesTest, OddRangesAndLostFormulasGetAMessage) {
    clsFunction& f = AddFunction();
    // A damaged record without its Z formula: the box is there, empty, and must be filled.
    f.Functions.erase(f.Functions.begin() + 2);
    OpenCopy();
    using F = frmFunctionProperties;
    EXPECT_EQ(Box(F::FieldZ)->text(), "");
    EXPECT_EQ(PressOk(), "Error: Argument expected in 'z'");
    Type(Box(F::FieldZ), "0");

    Type(Box(F::FieldTo), "1e7");
    Type(Box(F::FieldStep), "1");
    EXPECT_EQ(PressOk(), "Error: The curve has more than 1000000 points");

    // A step pointing away from the end gives an empty curve, which is allowed.
    Type(Box(F::FieldStep), "-1");
    EXPECT_EQ(PressOk(), "");
    EXPECT_TRUE(copy->BreakApart().empty());
}

TEST_F(FunctionPropertiesTest, EscStopsTheVerificationWithoutAsking) {
    AddFunction();
    OpenCopy();
    // The first reading forgets an Esc from before OK; the next, after From is computed,
    // sees the key.
    {
        ScriptedEscape esc(1);
        ScopedEscape guard(esc);
        EXPECT_EQ(PressOk(), "Error: Operation aborted");
        EXPECT_EQ(esc.Reads, 2);
    }
    // Pressed while the formulas are evaluated along the range.
    {
        ScriptedEscape esc(10);
        ScopedEscape guard(esc);
        EXPECT_EQ(PressOk(), "Error: Operation aborted");
        EXPECT_EQ(esc.Reads, 11);
    }
    // An Esc pressed before OK does not stop it.
    {
        struct PressedBefore : IEscapeKey {
            bool down = true;
            bool ReadEscape() override { return down; }
            void Forget() override { down = false; }
        } esc;
        ScopedEscape guard(esc);
        EXPECT_EQ(PressOk(), "");
    }
    for (const auto& m : prompt.Messages) EXPECT_NE(m.Buttons, PromptButtons::YesNo);
}

TEST_F(FunctionPropertiesTest, InsertFunctionButtonsPasteTheChoiceAtTheCaret) {
    AddFunction();
    OpenCopy();
    using F = frmFunctionProperties;
    Type(Box(F::FieldY), "2*");
    OnNextDialog<frmFunctionChooser>([](frmFunctionChooser& c) {
        c.EntryList()->setCurrentRow(c.EntryList()->count() - 1); // tanh(t), the last standard one
        Click(c.OkButton());
    });
    Click(dialog->ChooserButton(F::FieldY));
    EXPECT_EQ(Box(F::FieldY)->text(), "2*tanh(t)");
    EXPECT_EQ(FindInList(copy->Functions, "Y")->Body, "2*tanh(t)");
    EXPECT_EQ(Status(), "Y(T) = \"2*tanh(t)\"");

    // Cancel in the chooser inserts nothing.
    OnNextDialog<frmFunctionChooser>([](frmFunctionChooser& c) { Click(c.CancelButton()); });
    Click(dialog->ChooserButton(F::FieldX));
    EXPECT_EQ(Box(F::FieldX)->text(), "t");
}

TEST_F(FunctionPropertiesTest, CancelAfterTypingLeavesTheObjectAndOkIsOneUndoStep) {
    AddFunction();
    const bool cancelled = Properties<frmFunctionProperties>([](frmFunctionProperties& d) {
        Type(d.FieldBox(frmFunctionProperties::FieldX), "t*t");
        Type(d.FieldBox(frmFunctionProperties::FieldTo), "3");
        Click(d.CancelButton());
    });
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(FindInList(Object<clsFunction>()->Functions, "X")->Body, "t");
    EXPECT_EQ(Object<clsFunction>()->TTo, 10);
    EXPECT_EQ(UndoSteps(), 0u);
    EXPECT_FALSE(scene.Modified);

    // A refused OK followed by a good one still closes with one step.
    const bool changed = Properties<frmFunctionProperties>([](frmFunctionProperties& d) {
        Type(d.FieldBox(frmFunctionProperties::FieldZ), "2*t");
        Type(d.FieldBox(frmFunctionProperties::FieldTo), "4");
        Type(d.FieldBox(frmFunctionProperties::FieldStep), "0");
        Click(d.OkButton());
        Type(d.FieldBox(frmFunctionProperties::FieldStep), "(To-From)/20");
        Click(d.OkButton());
    });
    EXPECT_TRUE(changed);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Error: T Step cannot be 0"});
    clsFunction& f = *Object<clsFunction>();
    EXPECT_EQ(FindInList(f.Functions, "Z")->Body, "2*t");
    EXPECT_DOUBLE_EQ(f.TStep, 0.2);
    const SegmentList curve = f.BreakApart();
    ASSERT_EQ(curve.size(), 20u);
    EXPECT_NEAR(Distance(curve.back()->EndPoint, {4, 4, 8}), 0, 1e-12);
    ASSERT_EQ(UndoSteps(), 1u);
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Object Properties");
    EXPECT_TRUE(scene.Modified);

    scene.TreeManager.Undo();
    EXPECT_EQ(FindInList(Object<clsFunction>()->Functions, "Z")->Body, "t");
    EXPECT_EQ(Object<clsFunction>()->BreakApart().back()->EndPoint.z, 10);
}

TEST_F(FunctionPropertiesTest, InsertFunctionObjectAddsOneSelectedNodeOrNothing) {
    const int before = scene.GetRootNode()->GetChildCount();
    OnNextDialog<frmFunctionProperties>([](frmFunctionProperties& d) { Click(d.CancelButton()); });
    EXPECT_FALSE(InsertFunctionObject(nullptr, scene));
    EXPECT_EQ(scene.GetRootNode()->GetChildCount(), before);
    EXPECT_EQ(UndoSteps(), 0u);

    OnNextDialog<frmFunctionProperties>([](frmFunctionProperties& d) {
        Type(d.FieldBox(frmFunctionProperties::FieldY), "t*t");
        Click(d.OkButton());
    });
    EXPECT_TRUE(InsertFunctionObject(nullptr, scene));
    EXPECT_EQ(scene.GetRootNode()->GetChildCount(), before + 1);
    ASSERT_EQ(UndoSteps(), 1u);
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Create");
    EXPECT_TRUE(scene.Modified);
    clsNode* added = scene.GetSelection();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added, scene.GetRootNode()->LastChild());
    EXPECT_EQ(added->NodeType, clsNode::Function);
    auto* f = dynamic_cast<clsFunction*>(added->Object.get());
    ASSERT_NE(f, nullptr);
    const SegmentList curve = f->BreakApart();
    ASSERT_EQ(curve.size(), 20u);
    EXPECT_NEAR(Distance(curve.back()->EndPoint, {10, 100, 10}), 0, 1e-12);

    // The new object sees the scene's functions.
    clsFncDef g;
    g.ParseName("g(a)");
    g.Body = "a+1";
    scene.Functions.push_back(g);
    key = added->Key;
    EXPECT_TRUE(Properties<frmFunctionProperties>([](frmFunctionProperties& d) {
        Type(d.FieldBox(frmFunctionProperties::FieldX), "g(t)");
        Click(d.OkButton());
    }));
    EXPECT_DOUBLE_EQ(Object<clsFunction>()->BreakApart().back()->EndPoint.x, 11);

    scene.TreeManager.Undo();
    scene.TreeManager.Undo();
    EXPECT_EQ(scene.GetRootNode()->GetChildCount(), before);
}

} // namespace
} // namespace ov::testing
