// The ellipse and parametric function property dialogs and the commands that open them:
// typed values, refusals, conversions, verification of formulas, and the undo steps.
#include "FunctionDialogTestSupport.h"

#include <QRadioButton>

#include <cmath>

#include "app/dialogs/ObjectProperties.h"
#include "app/dialogs/frmEllipseProperties.h"
#include "app/dialogs/frmFunctionChooser.h"
#include "app/dialogs/frmFunctionProperties.h"
#include "shapes/clsEllipse.h"
#include "shapes/clsFunction.h"
#include "shapes/clsLine.h"

namespace ov::testing {
namespace {

using namespace functiondialogs;
using F = frmFunctionProperties;

constexpr double kPi = 3.14159265358979323846, kDeg = kPi / 180;

// The polar angle, in degrees in [0, 360), of the point at parameter angle a of an ellipse
// with radii rx and ry.
double PolarDegrees(double rx, double ry, double a) {
    double d = std::atan2(ry * std::sin(a), rx * std::cos(a)) / kDeg;
    return d < 0 ? d + 360 : d;
}
double Distance(const clsPoint3D& a, const clsPoint3D& b) { return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z); }
double Shown(QLineEdit* box) { return ParseNumber(box->text().toStdString()); }

// The Esc key, installed while it lives: pressed from the reading after the first pressAfter
// on, or (pressAfter < 0) held down from before until an operation forgets it.
struct ScriptedEscape : IEscapeKey {
    explicit ScriptedEscape(int pressAfter) : pressAfter(pressAfter) { SetEscapeKey(this); }
    ~ScriptedEscape() override { SetEscapeKey(nullptr); }
    bool ReadEscape() override { return pressAfter < 0 ? !forgotten : ++Reads > pressAfter; }
    void Forget() override { forgotten = true; }
    int pressAfter, Reads = 0;
    bool forgotten = false;
};

class ObjectPropertiesTest : public SceneDialogTest {
protected:
    clsEllipse& AddEllipse(double rx, double ry, double start, double end) {
        auto e = std::make_unique<clsEllipse>();
        e->SetProps(rx, ry, start, end, 0, nullptr);
        return AddSelected(scene, clsNode::Ellipse, std::move(e));
    }
    // The object of the node added last, looked up again: undo replaces it.
    template <class T>
    T* Object() { return dynamic_cast<T*>(scene.GetRootNode()->LastChild()->Object.get()); }
    std::size_t UndoSteps() const { return scene.TreeManager.UndoList.size(); }
    template <class Dialog>
    bool Properties(std::function<void(Dialog&)> action) {
        OnNextDialog<Dialog>(std::move(action));
        return ShowObjectProperties(nullptr, scene);
    }
    // The ellipse dialog on a working copy of e, as the command opens it.
    frmEllipseProperties& Edit(const clsEllipse& e) {
        ellipseDialog.reset();
        copy = std::make_unique<clsEllipse>();
        copy->Assign(e);
        return OpenNew(ellipseDialog, *copy);
    }
    std::string EllipseOk() { return PressOk(prompt, *ellipseDialog, ellipseDialog->OkButton()); }

    std::unique_ptr<clsEllipse> copy;
    std::unique_ptr<frmEllipseProperties> ellipseDialog;
};

TEST_F(ObjectPropertiesTest, OnlyEllipsesAndFunctionsHaveADialogItShowsDocumentMeasuresAndOkIsOneUndoStep) {
    EXPECT_FALSE(ShowObjectProperties(nullptr, scene)); // nothing selected
    AddSelected(scene, clsNode::Line, std::make_unique<clsLine>());
    EXPECT_FALSE(ShowObjectProperties(nullptr, scene)); // a line has none
    clsEllipse& e = AddEllipse(2, 1, kPi / 4, kPi);
    e.Stretch(3, 1, 1, nullptr); // radius 1 is 6 long in the document
    e.RotateRel(0, 0, 30, nullptr), e.Translate(1, -2.5, 3.3333333);
    EXPECT_FALSE(Properties<frmEllipseProperties>([&](frmEllipseProperties& d) {
        EXPECT_EQ(std::pair(Shown(d.CenterField(1)), Shown(d.RadiusField(1))), std::pair(-2.5, 6.0));
        EXPECT_EQ(d.FlatnessField()->text(), "48"); // a stored 0 means the default
        // Polar angles of the ends in the ellipse's own plane, to 3 decimals.
        EXPECT_NEAR(Shown(d.StartAngleField()), PolarDegrees(2, 1, kPi / 4), 0.0005);
        EXPECT_NEAR(Shown(d.EndAngleField()), 180, 0.0005);
        Type(d.RadiusField(1), "9");
        Click(d.CancelButton());
    }));
    EXPECT_TRUE(UndoSteps() == 0 && !scene.Modified);
    EXPECT_TRUE(Properties<frmEllipseProperties>([&](frmEllipseProperties& d) {
        Type(d.RadiusField(1), "12"); // scales the stored radius, keeping the stretch
        Type(d.CenterField(1), "7");
        Click(d.OkButton());
    }));
    // Untouched boxes keep their exact values, not the shown digits; the ends stay on their
    // rays, at other parameter angles of the new radii.
    clsEllipse& changed = *Object<clsEllipse>();
    EXPECT_NEAR(changed.RadiusX, 4, 1e-12);
    EXPECT_NEAR(Distance(changed.GetHandlePoint(0), {1, 7, 3.3333333}), 0, 1e-12);
    EXPECT_NEAR(PolarDegrees(4, 1, changed.StartAngle), PolarDegrees(2, 1, kPi / 4), 1e-9);
    EXPECT_TRUE(UndoSteps() == 1 && scene.Modified);
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Object Properties");
    scene.TreeManager.Undo();
    EXPECT_TRUE(Object<clsEllipse>()->RadiusX == 2 && Object<clsEllipse>()->GetHandlePoint(0).y == -2.5);
}

TEST_F(ObjectPropertiesTest, EllipseOkJudgesFlatnessFirstThenRadiiThenCentre) {
    clsEllipse& e = AddEllipse(3, 2, 0, 0);
    const std::string flat = "Ellipse flatness must be between 4 and 400", radius = "Invalid radius value specified";
    // The flatness is read like the other numbers: its leading number, 0 (the default) for none.
    const struct {
        const char *flatness, *radius;
        std::string message;
        std::int32_t flatnessStored;
        double radiusStored;
    } cases[] = {
        {"3", "2", flat, 0, 2},   {"401", "2", flat, 0, 2},   {"abc", "2", "", 0, 2},    {"4", "2", "", 4, 2},
        {"400", "2", "", 400, 2}, {"12,4", "2", "", 12, 2},   {"10", "0", radius, 0, 2}, {"2", "0", flat, 0, 2},
        {"10", "1,5", "", 10, 1.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.flatness) + " / " + c.radius);
        Type(Edit(e).FlatnessField(), c.flatness);
        Type(ellipseDialog->RadiusField(2), c.radius);
        EXPECT_EQ(EllipseOk(), c.message);
        EXPECT_EQ(copy->Flatness, c.flatnessStored); // a refusal leaves the working copy alone
        EXPECT_DOUBLE_EQ(copy->RadiusY, c.radiusStored);
    }
    // Radii this large square beyond the number range, which must not matter either.
    clsEllipse& huge = AddEllipse(1e300, 1e300, 0, 0);
    huge.Translate(-1e308, 0, 0);
    Type(Edit(huge).CenterField(0), "1e308");
    EXPECT_EQ(EllipseOk(), "Invalid center position specified");
    EXPECT_EQ(copy->GetHandlePoint(0).x, -1e308);
}

TEST_F(ObjectPropertiesTest, TypedAnglesAreNormalisedAndTheEllipseOptionOrNearlyEqualOnesClose) {
    clsEllipse& e = AddEllipse(2, 2, 0, 0);
    frmEllipseProperties& d = Edit(e);
    EXPECT_TRUE(d.StartAngleField()->isReadOnly()); // the angles of a full ellipse are not typed
    ClickOption(d.ArcOption());
    EXPECT_FALSE(d.EndAngleField()->isReadOnly());
    // On a circle polar and parameter angles agree: the stored angles are the typed ones.
    const struct {
        const char *start, *end; // end nullptr: the ellipse option chosen again
        double storedStart, storedEnd; // degrees
    } cases[] = {{"-90", "450", 270, 90}, {"720", "-360", 0, 0}, {"90", "92", 90, 92},
                 {"90", "90.5", 0, 0}, {"359.5", "0.5", 0, 0}, // closer than 0.02 rad: a full ellipse
                 {"10", "", 10, 0},                            // an empty box is 0
                 {"30", nullptr, 0, 0}};                       // typed angles are ignored
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        ClickOption(Edit(e).ArcOption());
        Type(ellipseDialog->StartAngleField(), c.start);
        if (c.end) Type(ellipseDialog->EndAngleField(), c.end);
        else ClickOption(ellipseDialog->EllipseOption());
        ASSERT_EQ(EllipseOk(), "");
        EXPECT_NEAR(copy->StartAngle, c.storedStart * kDeg, 1e-12);
        EXPECT_NEAR(copy->EndAngle, c.storedEnd * kDeg, 1e-12);
    }
}

class FunctionPropertiesTest : public ObjectPropertiesTest {
protected:
    // Opens the dialog on a copy of a new selected function object, as the command does.
    void OpenCopy(std::function<void(clsFunction&)> damage = nullptr) {
        clsFunction& original = AddSelected(scene, clsNode::Function, std::make_unique<clsFunction>());
        if (damage) damage(original);
        function = std::make_unique<clsFunction>();
        function->Assign(original);
        OpenNew(dialog, *function, scene);
    }
    QLineEdit* Box(int field) { return dialog->FieldBox(field); }
    std::string Status() { return dialog->StatusLine()->text().toStdString(); }
    std::string PressOk() {
        const std::string message = functiondialogs::PressOk(prompt, *dialog, dialog->OkButton());
        EXPECT_TRUE(message.empty() || prompt.Messages[0].Title == "Error") << message;
        return message;
    }
    // A box and what is typed in it, and the message of OK or the status line (nullptr: none).
    struct Step {
        int field;
        const char *typed, *result;
    };
    void Run(std::initializer_list<Step> steps, bool status = false) {
        for (const Step& s : steps) {
            SCOPED_TRACE(s.typed);
            Type(Box(s.field), s.typed);
            if (!s.result) continue;
            EXPECT_EQ(status ? Status() : PressOk(), s.result);
        }
    }

    std::unique_ptr<clsFunction> function;
    std::unique_ptr<F> dialog;
};

TEST_F(FunctionPropertiesTest, VerificationFindsErrorsAnywhereOnTheSampledRangeAndInALostFormula) {
    OpenCopy([](clsFunction& f) { f.Functions.erase(f.Functions.begin() + 2); }); // a record without Z
    Run({{F::FieldStep, "0", "Error: T Step cannot be 0"},
         {F::FieldStep, "(To-From)/20", "Error: Argument expected in 'z'"},
         {F::FieldY, "SQRT(T-5)", "Error: Negative square root in 'y'"}, {F::FieldY, "t", nullptr},
         {F::FieldZ, "sqrt(9.9-t)", "Error: Negative square root in 'z'"}, // only t = 10 is outside
         // With a step of 0.3 on 0..1 the curve ends at 0.9: 1 itself is never sampled.
         {F::FieldZ, "sqrt(0.95-t)", nullptr}, {F::FieldTo, "1", nullptr}, {F::FieldStep, "0.3", nullptr},
         {F::FieldX, "1e3 & 1==1", "Error: Syntax error at symbol '==' in 'x'"},
         {F::FieldX, "From + To + Step*t", nullptr}});
    // X is called with t alone, also when a scene function X declares other parameters.
    scene.Functions = {Definition("X(A,B)", "A")};
    EXPECT_EQ(PressOk(), "Error: Too few parameters in call to function 'X' from 'X'");
    scene.Functions.clear();
    Run({{F::FieldTo, "1e7", nullptr}, {F::FieldStep, "1", "Error: The curve has more than 1000000 points"},
         {F::FieldTo, "1", nullptr}, {F::FieldStep, "0.3", ""}});
    EXPECT_TRUE(function->TTo == 1 && function->TStep == 0.3); // sampled as ShapesTest samples it
    Run({{F::FieldStep, "-1", ""}}); // a backward step is taken: it gives an empty curve
}

TEST_F(FunctionPropertiesTest, EscStopsTheVerificationWithoutAskingAndTheStatusLineShowsWhatABoxMeans) {
    OpenCopy();
    // The first reading forgets an Esc from before OK; then it is seen after From is
    // computed, or while the formulas are evaluated along the range.
    for (int pressAfter : {1, 10}) {
        ScriptedEscape esc(pressAfter);
        EXPECT_EQ(PressOk(), "Error: Operation aborted");
        EXPECT_EQ(esc.Reads, pressAfter + 1);
    }
    ScriptedEscape before(-1);
    EXPECT_EQ(PressOk(), ""); // an Esc pressed before OK does not stop it

    ASSERT_TRUE(Open(*dialog)); // again, after OK closed it
    Run({{F::FieldTo, "2", "To = 2"},
         {F::FieldStep, "(To-From)/8", "Step = 0.25"},
         {F::FieldFrom, "1/0", "From: Division By Zero in 'From'"},
         {F::FieldY, "sqrt(t-5)", "Y(T) = \"sqrt(t-5)\""}, // formulas of t are only checked
         {F::FieldZ, "foo(t)", "Z(T): Function 'FOO' not defined"}},
        true);
    dialog->OkButton()->setFocus(); // leaving the boxes clears the line
    EXPECT_EQ(Status(), "");
    // Each formula has its chooser (what it inserts is the function editor's business).
    OnNextDialog<frmFunctionChooser>([](frmFunctionChooser& c) { Click(c.CancelButton()); });
    Click(dialog->ChooserButton(F::FieldX));
    EXPECT_EQ(Box(F::FieldX)->text(), "t");
}

TEST_F(FunctionPropertiesTest, InsertFunctionObjectAddsOneSelectedNodeThatSeesTheScenesFunctions) {
    const int before = scene.GetRootNode()->GetChildCount();
    OnNextDialog<F>([](F& d) { Click(d.CancelButton()); });
    EXPECT_FALSE(InsertFunctionObject(nullptr, scene));
    OnNextDialog<F>([](F& d) {
        Type(d.FieldBox(F::FieldX), "g(t)");
        Click(d.OkButton());
    });
    scene.Functions = {Definition("g(a)", "a+1")};
    EXPECT_TRUE(InsertFunctionObject(nullptr, scene));
    EXPECT_TRUE(UndoSteps() == 1 && scene.TreeManager.GetUndoString() == "Create");
    ASSERT_EQ(scene.GetSelection(), scene.GetRootNode()->LastChild());
    EXPECT_NEAR(Distance(Object<clsFunction>()->BreakApart().back().EndPoint, {11, 10, 10}), 0, 1e-12);
    EXPECT_TRUE(Properties<F>([](F& d) {
        Type(d.FieldBox(F::FieldX), "2*g(t)");
        Click(d.OkButton());
    }));
    EXPECT_EQ(Object<clsFunction>()->BreakApart().back().EndPoint.x, 22);
    scene.TreeManager.Undo();
    EXPECT_DOUBLE_EQ(Object<clsFunction>()->BreakApart().back().EndPoint.x, 11);
    scene.TreeManager.Undo();
    EXPECT_EQ(scene.GetRootNode()->GetChildCount(), before);
}

} // namespace
} // namespace ov::testing
