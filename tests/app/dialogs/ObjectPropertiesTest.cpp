// The ellipse and parametric function property dialogs and the commands that open them:
// typed values, refusals, conversions, verification of formulas, and the undo steps.
#include "FunctionDialogTestSupport.h"

#include <QRadioButton>

#include <cmath>

#include "app/dialogs/ObjectProperties.h"
#include "app/dialogs/frmEllipseProperties.h"
#include "app/dialogs/frmFunctionChooser.h"
#include "app/dialogs/frmFunctionProperties.h"
#include "expr/clsError.h"
#include "shapes/clsEllipse.h"
#include "shapes/clsFunction.h"
#include "shapes/clsLine.h"

namespace ov::testing {
namespace {

using namespace functiondialogs;
using F = frmFunctionProperties;

constexpr double kPi = 3.14159265358979323846;

// The polar angle, in degrees in [0, 360), of the point at parameter angle a of an ellipse
// with radii rx and ry.
double PolarDegrees(double rx, double ry, double a) {
    double d = std::atan2(ry * std::sin(a), rx * std::cos(a)) * 180 / kPi;
    return d < 0 ? d + 360 : d;
}
double Distance(const clsPoint3D& a, const clsPoint3D& b) { return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z); }
double Shown(QLineEdit* box) { return ParseNumber(box->text().toStdString()); }

class ObjectPropertiesTest : public ::testing::Test {
protected:
    // Adds an object to the top of the tree and selects it, without an undo step, and leaves
    // the scene unmodified.
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
    // The ellipse dialog on a working copy of e, as the command opens it.
    frmEllipseProperties& Edit(const clsEllipse& e) {
        ellipseDialog.reset();
        copy = std::make_unique<clsEllipse>();
        copy->Assign(e);
        ellipseDialog = std::make_unique<frmEllipseProperties>(*copy);
        EXPECT_TRUE(Open(*ellipseDialog));
        return *ellipseDialog;
    }
    std::string EllipseOk() { return PressOk(prompt, *ellipseDialog, ellipseDialog->OkButton()); }

    clsScene scene;
    std::string key;
    RecordingPrompt prompt;
    ScopedPrompt promptGuard{prompt};
    ModalWatchdog watchdog;
    std::unique_ptr<clsEllipse> copy;
    std::unique_ptr<frmEllipseProperties> ellipseDialog;
};

TEST_F(ObjectPropertiesTest, EllipseDialogShowsDocumentMeasuresAndCancelOrCloseChangeNothing) {
    clsEllipse& e = AddEllipse(2, 1, kPi / 4, kPi, 0);
    e.Stretch(3, 1, 1, nullptr); // radius 1 is 6 long in the document
    e.Translate(1, -2.5, 3);
    for (bool closeBox : {false, true}) {
        EXPECT_FALSE(Properties<frmEllipseProperties>([&](frmEllipseProperties& d) {
            EXPECT_EQ(Shown(d.CenterField(1)), -2.5);
            EXPECT_EQ(Shown(d.RadiusField(1)), 6);
            EXPECT_EQ(d.FlatnessField()->text(), "48"); // a stored 0 means the default
            // Polar angles of the ends in the ellipse's own plane, to 3 decimals.
            EXPECT_NEAR(Shown(d.StartAngleField()), PolarDegrees(2, 1, kPi / 4), 0.0005);
            EXPECT_NEAR(Shown(d.EndAngleField()), 180, 0.0005);
            Type(d.RadiusField(1), "9");
            Type(d.CenterField(0), "100");
            if (closeBox) d.close();
            else Click(d.CancelButton());
        }));
    }
    EXPECT_EQ(Object<clsEllipse>()->GetHandlePoint(0).x, 1);
    EXPECT_EQ(UndoSteps(), 0u);
    EXPECT_FALSE(scene.Modified);
}

TEST_F(ObjectPropertiesTest, EllipseOkJudgesFlatnessFirstThenRadiiThenCentre) {
    clsEllipse& e = AddEllipse(3, 2, 0, 0, 0);
    const std::string flat = "Ellipse flatness must be between 4 and 400", radius = "Invalid radius value specified";
    const struct {
        const char *flatness, *radius;
        std::string message;
        std::int32_t flatnessStored;
        double radiusStored;
    } cases[] = {
        {"3", "2", flat, 0, 2},    {"401", "2", flat, 0, 2},  {"-4", "2", flat, 0, 2},   {"abc", "2", "", 0, 2},
        {"4", "2", "", 4, 2},      {"400", "2", "", 400, 2},  {"", "2", "", 0, 2},       {" 0 ", "2", "", 0, 2},
        {"12,4", "2", "", 12, 2},  {"12abc", "2", "", 12, 2}, {"10", "0", radius, 0, 2}, {"10", "-1", radius, 0, 2},
        {"10", "x", radius, 0, 2}, {"10", "", radius, 0, 2},  {"2", "0", flat, 0, 2},    {"10", "1,5", "", 10, 1.5},
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
    clsEllipse& huge = AddEllipse(1e300, 1e300, 0, 0, 0);
    huge.Translate(-1e308, 0, 0);
    Type(Edit(huge).CenterField(0), "1e308");
    EXPECT_EQ(EllipseOk(), "Invalid center position specified");
    EXPECT_EQ(copy->GetHandlePoint(0).x, -1e308);
}

TEST_F(ObjectPropertiesTest, TypedAnglesAreNormalisedAndTheEllipseOptionOrNearlyEqualOnesClose) {
    // On a circle polar and parameter angles agree, so the stored angles can be read directly.
    clsEllipse& e = AddEllipse(2, 2, 0, 0, 0);
    const double deg = kPi / 180;
    const struct {
        const char *start, *end;
        double storedStart, storedEnd;
        bool arc, backToEllipse;
    } cases[] = {{"-90", "450", 270 * deg, 90 * deg, true, false}, {"720", "-360", 0, 0, false, false},
                 {"90", "90.5", 0, 0, false, false}, // 0.0087 rad apart: a full ellipse
                 {"90", "92", 90 * deg, 92 * deg, true, false},    {"359.5", "0.5", 0, 0, false, false},
                 {"10", "", 10 * deg, 0, true, false}, // an empty box is 0
                 {"30", "120", 0, 0, false, true}};   // typed angles are ignored
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " " + c.end);
        frmEllipseProperties& d = Edit(e);
        EXPECT_TRUE(d.EllipseOption()->isChecked());
        EXPECT_TRUE(d.StartAngleField()->isReadOnly());
        const QColor locked = d.StartAngleField()->palette().color(QPalette::Base);
        ClickOption(d.ArcOption());
        EXPECT_FALSE(d.StartAngleField()->isReadOnly());
        EXPECT_NE(d.StartAngleField()->palette().color(QPalette::Base), locked);
        Type(d.StartAngleField(), c.start);
        Type(d.EndAngleField(), c.end);
        if (c.backToEllipse) ClickOption(d.EllipseOption());
        EXPECT_EQ(d.EndAngleField()->isReadOnly(), c.backToEllipse);
        ASSERT_EQ(EllipseOk(), "");
        EXPECT_NEAR(copy->StartAngle, c.storedStart, 1e-12);
        EXPECT_NEAR(copy->EndAngle, c.storedEnd, 1e-12);
        EXPECT_EQ(copy->IsArc(), c.arc);
    }
}

TEST_F(ObjectPropertiesTest, UntouchedValuesStayExactAndTypedEndsLieOnTheTypedRays) {
    clsEllipse& turned = AddEllipse(2.123456789, 0.7, 0.3, 2.9, 24);
    turned.RotateRel(10, 20, 30, nullptr);
    turned.Translate(1.000001, 2.0000004, 3.3333333);
    Edit(turned);
    ASSERT_EQ(EllipseOk(), "");
    EXPECT_NEAR(copy->StartAngle, turned.StartAngle, 1e-12);
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(Distance(copy->GetHandlePoint(i), turned.GetHandlePoint(i)), 0, 1e-12);

    clsEllipse& e = AddEllipse(2, 1, 0, 0, 0);
    e.Stretch(1, 2, 1, nullptr);
    e.Translate(5, 5, 0);
    frmEllipseProperties& d = Edit(e);
    ClickOption(d.ArcOption());
    for (auto [box, typed] : {std::pair{d.RadiusField(1), "6"}, {d.RadiusField(2), "3"}, {d.StartAngleField(), "30"},
                              {d.EndAngleField(), "200"}, {d.CenterField(2), "-1"}})
        Type(box, typed);
    ASSERT_EQ(EllipseOk(), "");
    const clsPoint3D centre = copy->GetHandlePoint(0);
    EXPECT_NEAR(Distance(centre, {5, 5, -1}), 0, 1e-12);
    EXPECT_NEAR(Distance(centre, copy->GetHandlePoint(1)), 6, 1e-12);
    EXPECT_NEAR(Distance(centre, copy->GetHandlePoint(2)), 3, 1e-12);
    // In the local plane the radii now differ (6 and 1.5): the parameter angles differ from
    // the typed polar ones, but the ends lie on the typed rays.
    EXPECT_NEAR(PolarDegrees(copy->RadiusX, copy->RadiusY, copy->StartAngle), 30, 1e-9);
    EXPECT_NEAR(PolarDegrees(copy->RadiusX, copy->RadiusY, copy->EndAngle), 200, 1e-9);
    EXPECT_GT(std::fabs(copy->StartAngle - 30 * kPi / 180), 0.1);
}

TEST_F(ObjectPropertiesTest, OnlyEllipsesAndFunctionsHaveADialogAndOkIsOneUndoStep) {
    clsNode* house = scene.GetRootNode()->FirstChild();
    clsNode* line = house->FirstChild();
    while (line && line->NodeType != clsNode::Line) line = line->NextSibling();
    ASSERT_NE(line, nullptr);
    for (clsNode* node : {house, line, static_cast<clsNode*>(nullptr)}) {
        if (node) scene.TreeManager.SelectNodeByKey(node->Key, false);
        else scene.TreeManager.ClearSelection();
        EXPECT_FALSE(ShowObjectProperties(nullptr, scene));
    }
    AddEllipse(2, 1, 0, 0, 0);
    EXPECT_TRUE(Properties<frmEllipseProperties>([&](frmEllipseProperties& d) {
        Type(d.RadiusField(1), "5");
        Type(d.CenterField(1), "7");
        Click(d.OkButton());
    }));
    EXPECT_DOUBLE_EQ(Object<clsEllipse>()->GetHandlePoint(0).y, 7);
    ASSERT_EQ(UndoSteps(), 1u);
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Object Properties");
    EXPECT_TRUE(scene.Modified);
    scene.TreeManager.Undo();
    EXPECT_DOUBLE_EQ(Object<clsEllipse>()->RadiusX, 2);
    EXPECT_DOUBLE_EQ(Object<clsEllipse>()->GetHandlePoint(0).y, 0);
}

class FunctionPropertiesTest : public ObjectPropertiesTest {
protected:
    // Opens the dialog on a copy of a new selected function object, as the command does.
    void OpenCopy(std::function<void(clsFunction&)> damage = nullptr) {
        clsFunction& original = AddSelected(clsNode::Function, std::make_unique<clsFunction>());
        if (damage) damage(original);
        function = std::make_unique<clsFunction>();
        function->Assign(original);
        dialog = std::make_unique<F>(*function, scene);
        ASSERT_TRUE(Open(*dialog));
    }
    QLineEdit* Box(int field) { return dialog->FieldBox(field); }
    std::string Status() { return dialog->StatusLine()->text().toStdString(); }
    std::string PressOk() {
        const std::string message = functiondialogs::PressOk(prompt, *dialog, dialog->OkButton());
        if (!message.empty()) {
            EXPECT_EQ(prompt.Messages[0].Title, "Error");
        }
        return message;
    }
    struct Step {
        int field;
        const char* typed;
        const char* result; // the message of OK or the status line; nullptr: just typed
    };
    void Run(std::initializer_list<Step> steps, bool status = false) {
        for (const Step& s : steps) {
            SCOPED_TRACE(s.typed);
            Type(Box(s.field), s.typed);
            if (s.result) {
                EXPECT_EQ(status ? Status() : PressOk(), s.result);
            }
        }
    }

    std::unique_ptr<clsFunction> function;
    std::unique_ptr<F> dialog;
};

TEST_F(FunctionPropertiesTest, StatusLineShowsWhatTheFocusedBoxMeansAndChoicesGoToTheCaret) {
    OpenCopy();
    EXPECT_EQ(Box(F::FieldStep)->text(), "(To-From)/20");
    QTest::mouseClick(Box(F::FieldStep), Qt::LeftButton);
    EXPECT_EQ(Status(), "Step = 0.5"); // computed from the other two
    Run({{F::FieldTo, "2", "To = 2"},
         {F::FieldStep, "(To-From)/8", "Step = 0.25"},
         {F::FieldFrom, "1/0", "From: Division By Zero in 'From'"},
         {F::FieldY, "sqrt(t-5)", "Y(T) = \"sqrt(t-5)\""}, // formulas of t are only checked
         {F::FieldY, "(t+1", "Y(T): ')' expected in 'Y'"},
         {F::FieldZ, "foo(t)", "Z(T): Function 'FOO' not defined"}},
        true);
    // Leaving the boxes clears the line; the copy follows what was typed.
    dialog->OkButton()->setFocus();
    EXPECT_EQ(Status(), "");
    EXPECT_EQ(FindInList(function->Functions, "To")->Body, "2");

    Type(Box(F::FieldY), "2*");
    OnNextDialog<frmFunctionChooser>([](frmFunctionChooser& c) {
        c.EntryList()->setCurrentRow(c.EntryList()->count() - 1); // tanh(t), the last standard one
        Click(c.OkButton());
    });
    Click(dialog->ChooserButton(F::FieldY));
    EXPECT_EQ(FindInList(function->Functions, "Y")->Body, "2*tanh(t)");
    OnNextDialog<frmFunctionChooser>([](frmFunctionChooser& c) { Click(c.CancelButton()); });
    Click(dialog->ChooserButton(F::FieldX));
    EXPECT_EQ(Box(F::FieldX)->text(), "t");
}

TEST_F(FunctionPropertiesTest, VerificationFindsErrorsAnywhereOnTheSampledRange) {
    OpenCopy();
    Run({{F::FieldStep, "0", "Error: T Step cannot be 0"},
         {F::FieldStep, "(To-From)/20", nullptr},
         {F::FieldY, "SQRT(T-5)", "Error: Negative square root in 'y'"},
         {F::FieldY, "t", nullptr},
         {F::FieldZ, "sqrt(9.9-t)", "Error: Negative square root in 'z'"}, // only t = 10 is outside
         // With a step of 0.3 on 0..1 the curve ends at 0.9: 1 itself is never sampled.
         {F::FieldZ, "sqrt(0.95-t)", nullptr},
         {F::FieldTo, "1", nullptr},
         {F::FieldStep, "0.3", nullptr},
         {F::FieldX, "1e3 & 1==1", "Error: Syntax error at symbol '==' in 'x'"},
         {F::FieldX, "From + To + Step*t", nullptr}});
    // X is called with t alone, also when a scene function X declares other parameters.
    clsFncDef x;
    x.ParseName("X(A,B)");
    x.Body = "A";
    scene.Functions.push_back(x);
    EXPECT_EQ(PressOk(), "Error: Too few parameters in call to function 'X' from 'X'");
    scene.Functions.pop_back();
    Run({{F::FieldTo, "1e7", nullptr},
         {F::FieldStep, "1", "Error: The curve has more than 1000000 points"},
         {F::FieldTo, "1", nullptr},
         {F::FieldStep, "0.3", ""}});
    EXPECT_DOUBLE_EQ(function->TTo, 1);
    EXPECT_DOUBLE_EQ(function->TStep, 0.3);
    EXPECT_EQ(function->BreakApart().size(), 3u);
}

TEST_F(FunctionPropertiesTest, ALostFormulaMustBeFilledAndABackwardStepGivesAnEmptyCurve) {
    OpenCopy([](clsFunction& f) { f.Functions.erase(f.Functions.begin() + 2); }); // a record without Z
    EXPECT_EQ(Box(F::FieldZ)->text(), "");
    EXPECT_EQ(PressOk(), "Error: Argument expected in 'z'");
    Run({{F::FieldZ, "0", nullptr}, {F::FieldStep, "-1", ""}});
    EXPECT_TRUE(function->BreakApart().empty());
}

TEST_F(FunctionPropertiesTest, EscStopsTheVerificationWithoutAsking) {
    OpenCopy();
    // The first reading forgets an Esc from before OK; then it is seen after From is
    // computed, or while the formulas are evaluated along the range.
    for (int pressAfter : {1, 10}) {
        ScriptedEscape esc(pressAfter);
        ScopedEscape guard(esc);
        EXPECT_EQ(PressOk(), "Error: Operation aborted");
        EXPECT_EQ(esc.Reads, pressAfter + 1);
    }
    struct PressedBefore : IEscapeKey {
        bool down = true;
        bool ReadEscape() override { return down; }
        void Forget() override { down = false; }
    } esc;
    ScopedEscape guard(esc);
    EXPECT_EQ(PressOk(), ""); // an Esc pressed before OK does not stop it
}

TEST_F(FunctionPropertiesTest, InsertFunctionObjectAddsOneSelectedNodeBoundToTheScene) {
    const int before = scene.GetRootNode()->GetChildCount();
    OnNextDialog<F>([](F& d) { Click(d.CancelButton()); });
    EXPECT_FALSE(InsertFunctionObject(nullptr, scene));
    EXPECT_EQ(UndoSteps(), 0u);
    OnNextDialog<F>([](F& d) {
        Type(d.FieldBox(F::FieldY), "t*t");
        Click(d.OkButton());
    });
    EXPECT_TRUE(InsertFunctionObject(nullptr, scene));
    ASSERT_EQ(UndoSteps(), 1u);
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Create");
    clsNode* added = scene.GetSelection();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added, scene.GetRootNode()->LastChild());
    key = added->Key;
    EXPECT_NEAR(Distance(Object<clsFunction>()->BreakApart().back().EndPoint, {10, 100, 10}), 0, 1e-12);
    // The new object sees the scene's functions.
    clsFncDef g;
    g.ParseName("g(a)");
    g.Body = "a+1";
    scene.Functions.push_back(g);
    EXPECT_TRUE(Properties<F>([](F& d) {
        Type(d.FieldBox(F::FieldX), "g(t)");
        Click(d.OkButton());
    }));
    EXPECT_DOUBLE_EQ(Object<clsFunction>()->BreakApart().back().EndPoint.x, 11);
    ASSERT_EQ(UndoSteps(), 2u);
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Object Properties");
    scene.TreeManager.Undo();
    EXPECT_DOUBLE_EQ(Object<clsFunction>()->BreakApart().back().EndPoint.x, 10);
    scene.TreeManager.Undo();
    EXPECT_EQ(scene.GetRootNode()->GetChildCount(), before);
}

} // namespace
} // namespace ov::testing
