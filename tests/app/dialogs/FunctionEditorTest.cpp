// The function editor with its chooser and selection dialogs: adding, changing and deleting
// the scene's functions, the refusals, and function-list files written and read.
#include "FunctionDialogTestSupport.h"

#include "app/dialogs/frmFunctionChooser.h"
#include "app/dialogs/frmFunctionEditor.h"
#include "app/dialogs/frmFunctionSelect.h"
#include "expr/FunctionCatalogue.h"
#include "expr/FunctionListFile.h"
#include "shapes/clsFunction.h"

namespace ov::testing {
namespace {

using namespace functiondialogs;
using Strings = std::vector<std::string>;

clsFncDef Definition(const char* header, const char* body) {
    clsFncDef def;
    def.ParseName(header);
    def.Body = body;
    return def;
}
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

class FunctionEditorTest : public ::testing::Test {
protected:
    void SetUp() override { SetFileDialog(&files); }
    void TearDown() override { SetFileDialog(nullptr); }

    frmFunctionEditor& OpenEditor(clsScene& s) {
        editor = std::make_unique<frmFunctionEditor>(s, nullptr);
        EXPECT_TRUE(Open(*editor));
        return *editor;
    }
    void Declare(const char* header, const char* body, const char* description = "") {
        Type(editor->HeaderField(), header);
        Type(editor->BodyField(), body);
        Type(editor->DescriptionField(), description);
    }
    void Add(const char* header, const char* body, const char* description = "") {
        Declare(header, body, description);
        Click(editor->AddButton());
    }
    // Add, Modify, Delete and Export enabled, as "1" or "0" each.
    std::string States() {
        std::string s;
        for (QAbstractButton* b : {editor->AddButton(), editor->ModifyButton(), editor->DeleteButton(),
                                   editor->ExportButton()})
            s += b->isEnabled() ? '1' : '0';
        return s;
    }
    std::string TempPath(const char* name) const { return (dir.path() + "/" + name).toStdString(); }
    // Import or export through path, answering the selection dialog (if it opens) with pick.
    void Transfer(QAbstractButton* button, const std::string& path, std::function<void(frmFunctionSelect&)> pick) {
        files.Answers = {path};
        if (pick) OnNextDialog<frmFunctionSelect>(std::move(pick));
        Click(button);
    }

    clsScene scene;
    std::unique_ptr<frmFunctionEditor> editor;
    RecordingPrompt prompt;
    ScopedPrompt promptGuard{prompt};
    FileAnswers files;
    QTemporaryDir dir;
    ModalWatchdog watchdog;
};

TEST_F(FunctionEditorTest, ButtonsFollowTheBoxesAndTheSelection) {
    OpenEditor(scene);
    EXPECT_EQ(States(), "0000");
    Declare("F(X)", "   ");
    EXPECT_EQ(States(), "0000"); // a blank body is no body
    Type(editor->BodyField(), "X*X");
    EXPECT_EQ(States(), "1000");
    QTest::keyClick(editor->BodyField(), Qt::Key_Return); // neither adds nor closes
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(scene.Functions.empty());
    Click(editor->AddButton());
    EXPECT_EQ(States(), "1001");
    ClickItem(editor->List(), 0);
    EXPECT_EQ(States(), "1111");
    Type(editor->BodyField(), "");
    EXPECT_EQ(States(), "0011");
    Declare("", "1");
    EXPECT_EQ(States(), "0011");
}

TEST_F(FunctionEditorTest, AddAndModifyParseTheDeclarationAndRefuseBuiltInNames) {
    OpenEditor(scene);
    const struct {
        const char *header, *message; // the start of it
    } refused[] = {
        {"SIN(X)", "Function name 'sin' is reserved for internal use and cannot be redefined.\rsin(t): "},
        {"Pi", "Function name 'pi' is reserved"},
        {"step", "Function name 'Step' is reserved"},
        {"Integrate(a, b)", "Function name 'integrate' is reserved"},
        {"F()", "Error in function declaration"},
        {"F(A,)", "Error in function declaration"},
        {"F(A", "Error in function declaration"},
        {"2F", "Error in function declaration"},
        {"+", "Error in function declaration"},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.header);
        prompt.Messages.clear();
        Add(r.header, "1");
        ASSERT_EQ(prompt.Messages.size(), 1u);
        EXPECT_EQ(prompt.LastText().rfind(r.message, 0), 0u) << prompt.LastText();
        EXPECT_EQ(prompt.Messages[0].Icon, PromptIcon::Critical);
    }
    EXPECT_EQ(editor->List()->count(), 0);
    EXPECT_FALSE(scene.Modified);
    EXPECT_FALSE(editor->Changed());

    // Names that merely start like a built-in are free; the same name twice is allowed.
    prompt.Messages.clear();
    Add("  Sinus ( X ,Y)  ", "  X*Y ", " product ");
    Add("Sinus(Z)", "Z");
    Add("g", "2");
    EXPECT_TRUE(prompt.Messages.empty());
    EXPECT_EQ(Names(scene), (Strings{"Sinus(X, Y)", "Sinus(Z)", "g"}));
    EXPECT_EQ(scene.Functions[0].Body + scene.Functions[0].Description, "X*Yproduct");
    EXPECT_TRUE(scene.Modified);
    EXPECT_TRUE(editor->Changed());

    ClickItem(editor->List(), 0);
    EXPECT_EQ(editor->DescriptionField()->text(), "product");
    ClickItem(editor->List(), 2);
    Declare("h(x, y)", "x*y", "times");
    Click(editor->ModifyButton());
    // A refused change leaves the definition as it was.
    Declare("cos(x)", "0");
    Click(editor->ModifyButton());
    Declare("h(x y)", "0");
    Click(editor->ModifyButton());
    EXPECT_EQ(Texts(prompt).size(), 2u);
    EXPECT_EQ(Names(scene), (Strings{"Sinus(X, Y)", "Sinus(Z)", "h(x, y)"}));
    EXPECT_EQ(scene.Functions[2].Body + scene.Functions[2].Description, "x*ytimes");

    // Delete removes the selected one; no neighbour becomes selected in its place.
    ClickItem(editor->List(), 1);
    Click(editor->DeleteButton());
    EXPECT_EQ(Names(scene), (Strings{"Sinus(X, Y)", "h(x, y)"}));
    EXPECT_EQ(Lines(editor->List()), Names(scene));
    EXPECT_FALSE(editor->DeleteButton()->isEnabled());
}

TEST_F(FunctionEditorTest, ExportedFunctionsImportIntoAnotherScene) {
    OpenEditor(scene);
    Add("F(X)", "X*X", "the square, with \"quotes\", commas");
    Add("G", "pi/2");
    Add("H(a, b, c)", "a+b+c", "sum of three");
    const std::string path = TempPath("two.fnl");
    Transfer(editor->ExportButton(), path, [](frmFunctionSelect& s) {
        EXPECT_EQ(s.windowTitle(), "Select Functions");
        EXPECT_EQ(Lines(s.List()), (Strings{"F(X)", "G", "H(a, b, c)"}));
        Pick(s, {2, 0});
    });
    ASSERT_EQ(files.Calls.size(), 1u);
    const auto& call = files.Calls[0];
    EXPECT_EQ(call.Title + call.DefaultExtension + call.Filter, "Export Function Listfnl" "Function List (*.fnl)|*.fnl");
    EXPECT_FALSE(call.Open);
    QFile written(QString::fromStdString(path));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().startsWith("--FNL 1.0--\r\n2\r\n"));

    clsScene other;
    other.Functions = {Definition("k", "1")};
    OpenEditor(other);
    files.Calls.clear();
    Transfer(editor->ImportButton(), path, [](frmFunctionSelect& s) {
        EXPECT_EQ(Lines(s.List()), (Strings{"F(X)", "H(a, b, c)"}));
        Click(s.OkButton()); // everything starts picked
    });
    EXPECT_EQ(files.Calls.at(0).Title, "Import Function List");
    EXPECT_TRUE(files.Calls[0].Open);
    EXPECT_TRUE(prompt.Messages.empty());
    EXPECT_EQ(Lines(editor->List()), (Strings{"k", "F(X)", "H(a, b, c)"}));
    EXPECT_EQ(other.Functions[1].Body + " " + other.Functions[1].Description,
              "X*X the square, with \"quotes\", commas");
    EXPECT_TRUE(other.Modified);
    // Imported names are not checked: the same file again adds the picked ones again.
    Transfer(editor->ImportButton(), path, [](frmFunctionSelect& s) { Pick(s, {1}); });
    EXPECT_EQ(Names(other), (Strings{"k", "F(X)", "H(a, b, c)", "H(a, b, c)"}));
}

TEST_F(FunctionEditorTest, DamagedMissingOrUnwritableFilesAreReportedAndChangeNothing) {
    scene.Functions = {Definition("k", "1")};
    OpenEditor(scene);
    const std::string path = TempPath("bad.fnl"), missing = TempPath("missing.fnl");
    const std::string nowhere = TempPath("no/such/folder/out.fnl");
    const std::string invalid = "Invalid function list file", reading = "Error reading from file '" + path + "'";
    const struct {
        QByteArray content;
        std::string file, message, title;
        bool export_;
    } cases[] = {
        {"--FNL 1.1--\r\n0\r\n", path, invalid, "Error", false},
        {" --FNL 1.0--\r\n0\r\n", path, invalid, "Error", false},
        {"", path, invalid, "Error", false},
        {QByteArray("\0\xff\xfe garbage", 12), path, invalid, "Error", false},
        {"--FNL 1.0--\r\n3\r\nF\r\n", path, reading, "", false},
        {"--FNL 1.0--\r\nmany\r\n", path, reading, "", false},
        {"--FNL 1.0--\r\n", path, reading, "", false},
        {"", missing, "Unable to open file '" + missing + "'", "", false},
        {"", nowhere, "Unable to create file '" + nowhere + "'", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content.toStdString() + c.file);
        prompt.Messages.clear();
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.content);
        file.close();
        if (c.export_) Transfer(editor->ExportButton(), c.file, [](frmFunctionSelect& s) { Click(s.OkButton()); });
        else Transfer(editor->ImportButton(), c.file, nullptr);
        ASSERT_EQ(prompt.Messages.size(), 1u);
        EXPECT_EQ(prompt.LastText(), c.message);
        EXPECT_EQ(prompt.Messages[0].Title, c.title);
        EXPECT_EQ(prompt.Messages[0].Icon, PromptIcon::Critical);
    }
    EXPECT_EQ(Names(scene), Strings{"k"});
    EXPECT_FALSE(scene.Modified);
    EXPECT_FALSE(editor->Changed());
}

TEST_F(FunctionEditorTest, CancelledOrEmptySelectionsStopImportAndExport) {
    scene.Functions = {Definition("k", "1")};
    OpenEditor(scene);
    Transfer(editor->ExportButton(), "", [](frmFunctionSelect& s) { Click(s.CancelButton()); });
    Transfer(editor->ExportButton(), "", [](frmFunctionSelect& s) { Pick(s, {}); });
    EXPECT_TRUE(files.Calls.empty()); // no file was asked for
    // The file dialog cancelled: nothing written, nothing said.
    Transfer(editor->ExportButton(), "", [](frmFunctionSelect& s) { Click(s.OkButton()); });
    EXPECT_EQ(files.Calls.size(), 1u);
    EXPECT_TRUE(prompt.Messages.empty());

    const std::string path = TempPath("k.fnl");
    std::string error;
    ASSERT_TRUE(WriteFunctionListFile(path, {Definition("G", "2")}, error)) << error;
    Transfer(editor->ImportButton(), path, [](frmFunctionSelect& s) { Click(s.CancelButton()); });
    Transfer(editor->ImportButton(), path, [](frmFunctionSelect& s) {
        Click(s.NoneButton());
        Click(s.AllButton());
        ClickItem(s.List(), 0); // unpicks it again
        Click(s.OkButton());
    });
    EXPECT_EQ(Names(scene), Strings{"k"});
    EXPECT_FALSE(scene.Modified);
}

TEST_F(FunctionEditorTest, ChooserInsertsTheChosenSignatureAtTheCaret) {
    scene.Functions = {Definition("wave(a, b)", "sin(a)*b")};
    OpenEditor(scene);
    Type(editor->BodyField(), "2*+1");
    editor->BodyField()->setCursorPosition(2);
    OnNextDialog<frmFunctionChooser>([](frmFunctionChooser& c) {
        EXPECT_EQ(c.EntryList()->count(), static_cast<int>(GetStandardHeaders().size()));
        ClickItem(c.CategoryList(), 2); // Custom: the scene's own
        EXPECT_EQ(Lines(c.EntryList()), Strings{"wave(a, b)"});
        ClickItem(c.CategoryList(), 5); // Macro
        EXPECT_FALSE(c.OkButton()->isEnabled());
        ClickItem(c.EntryList(), 2);
        EXPECT_EQ(c.NameLabel()->text(), "integrate(f(x),x,xmin,xmax,[dx])");
        EXPECT_TRUE(c.DescriptionLabel()->text().startsWith("Gives a numerical approximation"));
        Click(c.OkButton());
    });
    Click(editor->ChooserButton());
    EXPECT_EQ(editor->BodyField()->text(), "2*integrate(f(x),x,xmin,xmax,[dx])+1");

    // A selection is replaced; a double click picks as OK does; Cancel changes nothing.
    Type(editor->BodyField(), "2*XX");
    editor->BodyField()->setSelection(2, 2);
    OnNextDialog<frmFunctionChooser>([](frmFunctionChooser& c) {
        ClickItem(c.CategoryList(), 1);
        QListWidget* list = c.EntryList();
        ClickItem(list, 0);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(0)).center());
    });
    Click(editor->ChooserButton());
    OnNextDialog<frmFunctionChooser>([](frmFunctionChooser& c) {
        ClickItem(c.EntryList(), 0);
        Click(c.CancelButton());
    });
    Click(editor->ChooserButton());
    EXPECT_EQ(editor->BodyField()->text(), "2*pi");
}

TEST_F(FunctionEditorTest, ChangedFunctionsRedrawTheCurvesThatCallThem) {
    scene.Functions = {Definition("f(a)", "a")};
    auto function = std::make_unique<clsFunction>();
    function->BindToScene(&scene);
    FindInList(function->Functions, "X")->Body = "f(t)";
    clsFunction& curve = *function;
    auto node = clsTreeManager::CreateNode(clsNode::Function);
    node->Object = std::move(function);
    scene.TreeManager.AddNode(std::move(node));
    scene.OnClean();
    EXPECT_DOUBLE_EQ(curve.BreakApart().back().EndPoint.x, 10);
    // Looking without changing anything is no change.
    OnNextDialog<frmFunctionEditor>([](frmFunctionEditor& e) { Click(e.OkButton()); });
    EXPECT_FALSE(ShowFunctionEditor(nullptr, scene));
    OnNextDialog<frmFunctionEditor>([](frmFunctionEditor& e) {
        ClickItem(e.List(), 0);
        Type(e.BodyField(), "3*a");
        Click(e.ModifyButton());
        Click(e.OkButton());
    });
    EXPECT_TRUE(ShowFunctionEditor(nullptr, scene));
    EXPECT_TRUE(scene.Modified);
    EXPECT_DOUBLE_EQ(curve.BreakApart().back().EndPoint.x, 30);
}

} // namespace
} // namespace ov::testing
