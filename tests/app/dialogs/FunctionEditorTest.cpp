// The function editor with its chooser and selection dialogs: adding, changing and deleting
// the scene's functions, the refusals, and function-list files written and read.
#include "FunctionDialogTestSupport.h"

#include <fstream>

#include "app/dialogs/frmFunctionChooser.h"
#include "app/dialogs/frmFunctionEditor.h"
#include "app/dialogs/frmFunctionSelect.h"
#include "shapes/clsFunction.h"

namespace ov::testing {
namespace {

using namespace functiondialogs;
using Strings = std::vector<std::string>;

Strings Lines(const QListWidget* list) {
    Strings lines;
    for (int i = 0; i < list->count(); ++i) lines.push_back(list->item(i)->text().toStdString());
    return lines;
}
Strings Names(const clsScene& s) {
    Strings names;
    for (const clsFncDef& def : s.Functions) names.push_back(def.GetNameArgs());
    return names;
}
void Pick(frmFunctionSelect& s, std::initializer_list<int> rows) {
    Click(s.NoneButton());
    for (int row : rows) ClickItem(s.List(), row);
    Click(s.OkButton());
}
void PickAll(frmFunctionSelect& s) { Click(s.OkButton()); } // everything starts picked

class FunctionEditorTest : public SceneDialogTest {
protected:
    // Fills the three boxes, then clicks button if there is one.
    void Enter(QAbstractButton* button, const char* header, const char* body, const char* description = "") {
        Type(editor->HeaderField(), header);
        Type(editor->BodyField(), body);
        Type(editor->DescriptionField(), description);
        if (button) Click(button);
    }
    // Add, Modify, Delete and Export enabled, as "1" or "0" each.
    std::string States() {
        std::string s;
        for (QAbstractButton* b : {editor->AddButton(), editor->ModifyButton(), editor->DeleteButton(),
                                   editor->ExportButton()})
            s += b->isEnabled() ? '1' : '0';
        return s;
    }
    // Import or export through path, answering the selection dialog (if it opens) with pick.
    void Transfer(QAbstractButton* button, const std::string& path, void (*pick)(frmFunctionSelect&)) {
        files.Answers = {path};
        if (pick) OnNextDialog<frmFunctionSelect>(pick);
        Click(button);
    }
    // The title and text of the one message given, which must be critical; forgotten then.
    std::string Said() {
        const auto m = std::exchange(prompt.Messages, {});
        if (m.size() != 1 || m[0].Icon != PromptIcon::Critical) return "not one critical message";
        return m[0].Title + "|" + m[0].Text;
    }

    std::unique_ptr<frmFunctionEditor> editor;
    const std::string path = folder.filePath("list.fnl").toStdString();
};

TEST_F(FunctionEditorTest, ButtonsFollowTheBoxesAndTheSelectionAndRefusedDeclarationsChangeNothing) {
    OpenNew(editor, scene, nullptr);
    Enter(nullptr, "F(X)", "   ");
    EXPECT_EQ(States(), "0000"); // a blank body is no body
    Type(editor->BodyField(), "X*X");
    EXPECT_EQ(States(), "1000");
    QTest::keyClick(editor->BodyField(), Qt::Key_Return); // neither adds nor closes
    EXPECT_TRUE(editor->isVisible() && scene.Functions.empty());
    // Which names are reserved is the catalogue's business; the editor shows its message.
    Enter(editor->AddButton(), "SIN(X)", "1");
    EXPECT_EQ(Said().rfind("|Function name 'sin' is reserved", 0), 0u);
    Enter(editor->AddButton(), "F(A,)", "1");
    EXPECT_EQ(Said(), "|Error in function declaration");
    EXPECT_TRUE(scene.Functions.empty() && !scene.Modified && !editor->Changed());

    // Names that merely start like a built-in are free; the same name twice is allowed.
    Enter(editor->AddButton(), "  Sinus ( X ,Y)  ", "  X*Y ", " product ");
    Enter(editor->AddButton(), "Sinus(Z)", "Z");
    EXPECT_EQ(States(), "1001");
    EXPECT_EQ(Names(scene), (Strings{"Sinus(X, Y)", "Sinus(Z)"}));
    EXPECT_EQ(scene.Functions[0].Body + scene.Functions[0].Description, "X*Yproduct");
    EXPECT_TRUE(scene.Modified && editor->Changed());
    ClickItem(editor->List(), 0);
    EXPECT_EQ(editor->DescriptionField()->text(), "product");
    EXPECT_EQ(States(), "1111");
    Type(editor->BodyField(), "");
    EXPECT_EQ(States(), "0011");

    ClickItem(editor->List(), 1);
    Enter(editor->ModifyButton(), "h(x, y)", "x*y", "times");
    Enter(editor->ModifyButton(), "cos(x)", "0"); // refused: the definition stays as it was
    EXPECT_EQ(Said().rfind("|Function name 'cos' is reserved", 0), 0u);
    EXPECT_EQ(Names(scene), (Strings{"Sinus(X, Y)", "h(x, y)"}));
    EXPECT_EQ(scene.Functions[1].Body + scene.Functions[1].Description, "x*ytimes");

    // Delete removes the selected one; no neighbour becomes selected in its place.
    ClickItem(editor->List(), 0);
    Click(editor->DeleteButton());
    EXPECT_EQ(Names(scene), Strings{"h(x, y)"});
    EXPECT_EQ(Lines(editor->List()), Names(scene));
    EXPECT_FALSE(editor->DeleteButton()->isEnabled());
}

TEST_F(FunctionEditorTest, ExportedFunctionsImportIntoAnotherSceneAndFailuresOrCancelsChangeNothing) {
    OpenNew(editor, scene, nullptr);
    Enter(editor->AddButton(), "F(X)", "X*X", "the square, with \"quotes\", commas");
    Enter(editor->AddButton(), "G", "pi/2");
    Enter(editor->AddButton(), "H(a, b, c)", "a+b+c");
    Transfer(editor->ExportButton(), path, [](frmFunctionSelect& s) {
        EXPECT_EQ(Lines(s.List()), (Strings{"F(X)", "G", "H(a, b, c)"}));
        Pick(s, {2, 0});
    });
    // Another scene's functions, as far as the editor can tell.
    scene.Functions = {Definition("k", "1")};
    scene.OnClean();
    OpenNew(editor, scene, nullptr);

    // What is wrong with a file is the list file's to say; the editor titles a foreign one.
    const std::string bad = path + ".bad", missing = path + ".missing", nowhere = path + "/out.fnl";
    std::ofstream(bad, std::ios::binary) << "--FNL 1.1--\r\n0\r\n";
    Transfer(editor->ImportButton(), bad, nullptr);
    EXPECT_EQ(Said(), "Error|Invalid function list file");
    Transfer(editor->ImportButton(), missing, nullptr);
    EXPECT_EQ(Said(), "|Unable to open file '" + missing + "'");
    Transfer(editor->ExportButton(), nowhere, PickAll);
    EXPECT_EQ(Said(), "|Unable to create file '" + nowhere + "'");
    // A cancelled or empty selection stops both, before export asks for a file; a cancelled
    // file dialog writes nothing and says nothing.
    const std::size_t asked = files.Calls.size();
    for (QAbstractButton* button : {editor->ExportButton(), editor->ImportButton()}) {
        Transfer(button, path, [](frmFunctionSelect& s) { Click(s.CancelButton()); });
        Transfer(button, path, [](frmFunctionSelect& s) { Pick(s, {}); });
    }
    Transfer(editor->ExportButton(), "", PickAll);
    EXPECT_EQ(files.Calls.size(), asked + 3); // the imports' and the last export's
    EXPECT_TRUE(prompt.Messages.empty());
    EXPECT_EQ(Names(scene), Strings{"k"});
    EXPECT_FALSE(scene.Modified || editor->Changed());

    Transfer(editor->ImportButton(), path, PickAll);
    EXPECT_TRUE(prompt.Messages.empty());
    EXPECT_EQ(Lines(editor->List()), (Strings{"k", "F(X)", "H(a, b, c)"}));
    EXPECT_EQ(scene.Functions[1].Body + " " + scene.Functions[1].Description,
              "X*X the square, with \"quotes\", commas");
    EXPECT_TRUE(scene.Modified);
    // Imported names are not checked: the same file again adds the picked ones again.
    Transfer(editor->ImportButton(), path, [](frmFunctionSelect& s) { Pick(s, {1}); });
    EXPECT_EQ(Names(scene), (Strings{"k", "F(X)", "H(a, b, c)", "H(a, b, c)"}));
}

TEST_F(FunctionEditorTest, ChooserInsertsTheChosenSignatureAtTheCaret) {
    scene.Functions = {Definition("wave(a, b)", "sin(a)*b")};
    OpenNew(editor, scene, nullptr);
    Type(editor->BodyField(), "2*+1");
    editor->BodyField()->setCursorPosition(2);
    OnNextDialog<frmFunctionChooser>([](frmFunctionChooser& c) {
        ClickItem(c.CategoryList(), 1);
        EXPECT_EQ(c.EntryList()->item(0)->text(), "pi"); // the constants
        ClickItem(c.CategoryList(), 2); // Custom: the scene's own
        EXPECT_EQ(Lines(c.EntryList()), Strings{"wave(a, b)"});
        ClickItem(c.CategoryList(), 5); // Macro
        EXPECT_FALSE(c.OkButton()->isEnabled());
        QListWidget* list = c.EntryList();
        ClickItem(list, 2);
        EXPECT_EQ(c.NameLabel()->text(), "integrate(f(x),x,xmin,xmax,[dx])");
        // A double click picks as OK does.
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
    });
    Click(editor->ChooserButton());
    EXPECT_EQ(editor->BodyField()->text(), "2*integrate(f(x),x,xmin,xmax,[dx])+1");
}

TEST_F(FunctionEditorTest, ChangedFunctionsRedrawTheCurvesThatCallThem) {
    scene.Functions = {Definition("f(a)", "a")};
    clsFunction& curve = AddSelected(scene, clsNode::Function, std::make_unique<clsFunction>());
    FindInList(curve.Functions, "X")->Body = "f(t)";
    EXPECT_DOUBLE_EQ(curve.BreakApart().back().EndPoint.x, 10);
    OnNextDialog<frmFunctionEditor>([](frmFunctionEditor& e) {
        ClickItem(e.List(), 0);
        Type(e.BodyField(), "3*a");
        Click(e.ModifyButton());
        Click(e.OkButton());
    });
    EXPECT_TRUE(ShowFunctionEditor(nullptr, scene));
    EXPECT_DOUBLE_EQ(curve.BreakApart().back().EndPoint.x, 30);
}

} // namespace
} // namespace ov::testing
