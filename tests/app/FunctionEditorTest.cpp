// The function editor with its chooser and selection dialogs: adding, changing and
// deleting the scene's functions, the refusals, and function-list files written and read.
#include "FunctionDialogTestSupport.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include "app/dialogs/frmFunctionChooser.h"
#include "app/dialogs/frmFunctionEditor.h"
#include "app/dialogs/frmFunctionSelect.h"
#include "expr/FunctionCatalogue.h"
#include "expr/FunctionListFile.h"
#include "platform/Prompt.h"
#include "scene/clsScene.h"
#include "shapes/clsFunction.h"

namespace ov::testing {
namespace {

using namespace functiondialogs;

clsFncDef Definition(const char* header, const char* body, const char* description = "") {
    clsFncDef def;
    def.ParseName(header);
    def.Body = body;
    def.Description = description;
    return def;
}

std::vector<std::string> Lines(const QListWidget* list) {
    std::vector<std::string> lines;
    for (int i = 0; i < list->count(); ++i) lines.push_back(list->item(i)->text().toStdString());
    return lines;
}

std::vector<std::string> FileLines(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    std::vector<std::string> lines;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.isEmpty()) lines.push_back(line.endsWith('\r') ? line.chopped(1).toStdString() : line.toStdString());
    return lines;
}

class FunctionEditorTest : public ::testing::Test {
protected:
    void SetUp() override { SetFileDialog(&files); }
    void TearDown() override { SetFileDialog(nullptr); }

    // The editor of scene, shown without blocking.
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
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& m : prompt.Messages) texts.push_back(m.Text);
        return texts;
    }
    std::vector<std::string> Names(const clsScene& s) const {
        std::vector<std::string> names;
        for (const clsFncDef& def : s.Functions) names.push_back(def.GetNameArgs());
        return names;
    }
    std::string TempPath(const char* name) const { return (dir.path() + "/" + name).toStdString(); }
    void WriteFile(const std::string& path, const QByteArray& content) {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    // Import from path, answering the selection dialog (if it opens) with pick.
    void Import(const std::string& path, std::function<void(frmFunctionSelect&)> pick = nullptr) {
        files.Answers = {path};
        if (pick) OnNextDialog<frmFunctionSelect>(std::move(pick));
        Click(editor->ImportButton());
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
    auto states = [&] {
        return std::vector<bool>{editor->AddButton()->isEnabled(), editor->ModifyButton()->isEnabled(),
                                 editor->DeleteButton()->isEnabled(), editor->ExportButton()->isEnabled()};
    };
    EXPECT_EQ(states(), (std::vector<bool>{false, false, false, false}));
    Type(editor->HeaderField(), "F(X)");
    Type(editor->BodyField(), "   ");
    EXPECT_EQ(states(), (std::vector<bool>{false, false, false, false})); // a blank body is no body
    Type(editor->BodyField(), "X*X");
    EXPECT_EQ(states(), (std::vector<bool>{true, false, false, false}));
    // Return in a box neither adds nor closes the editor.
    QTest::keyClick(editor->BodyField(), Qt::Key_Return);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(scene.Functions.empty());
    Click(editor->AddButton());
    EXPECT_EQ(states(), (std::vector<bool>{true, false, false, true}));

    ClickItem(editor->List(), 0);
    EXPECT_EQ(states(), (std::vector<bool>{true, true, true, true}));
    Type(editor->BodyField(), "");
    EXPECT_EQ(states(), (std::vector<bool>{false, false, true, true}));
    Type(editor->HeaderField(), "");
    Type(editor->BodyField(), "1");
    EXPECT_EQ(states(), (std::vector<bool>{false, false, true, true}));
}

TEST_F(FunctionEditorTest, AddParsesTheDeclarationAndRefusesBuiltInNames) {
    OpenEditor(scene);
    const struct {
        const char* header;
        const char* message; // the start of it
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
        Declare(r.header, "1");
        Click(editor->AddButton());
        ASSERT_EQ(prompt.Messages.size(), 1u);
        EXPECT_EQ(prompt.LastText().rfind(r.message, 0), 0u) << prompt.LastText();
        EXPECT_EQ(prompt.Messages[0].Icon, PromptIcon::Critical);
    }
    EXPECT_TRUE(scene.Functions.empty());
    EXPECT_EQ(editor->List()->count(), 0);
    EXPECT_FALSE(scene.Modified);
    EXPECT_FALSE(editor->Changed());

    // Names that merely start like a built-in are free; the same name twice is allowed
    // (look-up takes the first).
    prompt.Messages.clear();
    Declare("  Sinus ( X ,Y)  ", "  X*Y ", " product ");
    Click(editor->AddButton());
    Declare("Sinus(Z)", "Z");
    Click(editor->AddButton());
    EXPECT_TRUE(prompt.Messages.empty());
    EXPECT_EQ(Names(scene), (std::vector<std::string>{"Sinus(X, Y)", "Sinus(Z)"}));
    EXPECT_EQ(Lines(editor->List()), Names(scene));
    EXPECT_EQ(scene.Functions[0].Body, "X*Y");
    EXPECT_EQ(scene.Functions[0].Description, "product");
    EXPECT_TRUE(scene.Modified);
    EXPECT_TRUE(editor->Changed());
}

TEST_F(FunctionEditorTest, ModifyAndDeleteWorkOnTheSelectedLine) {
    scene.Functions = {Definition("f(a)", "a+1", "one more"), Definition("g", "2")};
    OpenEditor(scene);
    EXPECT_EQ(Lines(editor->List()), (std::vector<std::string>{"f(a)", "g"}));
    ClickItem(editor->List(), 0);
    EXPECT_EQ(editor->HeaderField()->text(), "f(a)");
    EXPECT_EQ(editor->BodyField()->text(), "a+1");
    EXPECT_EQ(editor->DescriptionField()->text(), "one more");

    ClickItem(editor->List(), 1);
    Declare("h(x, y)", "x*y", "times");
    Click(editor->ModifyButton());
    EXPECT_EQ(Names(scene), (std::vector<std::string>{"f(a)", "h(x, y)"}));
    EXPECT_EQ(Lines(editor->List()), Names(scene));
    EXPECT_EQ(scene.Functions[1].Body, "x*y");
    EXPECT_EQ(scene.Functions[1].Description, "times");
    EXPECT_TRUE(scene.Modified);

    // A refused change leaves the definition as it was.
    Declare("cos(x)", "0");
    Click(editor->ModifyButton());
    Declare("h(x y)", "0");
    Click(editor->ModifyButton());
    EXPECT_EQ(Texts().size(), 2u);
    EXPECT_EQ(Texts().back(), "Error in function declaration");
    EXPECT_EQ(Names(scene), (std::vector<std::string>{"f(a)", "h(x, y)"}));
    EXPECT_EQ(scene.Functions[1].Body, "x*y");

    // Delete removes the selected one; no neighbour becomes selected in its place.
    ClickItem(editor->List(), 0);
    Click(editor->DeleteButton());
    EXPECT_EQ(Names(scene), std::vector<std::string>{"h(x, y)"});
    EXPECT_EQ(Lines(editor->List()), Names(scene));
    EXPECT_FALSE(editor->DeleteButton()->isEnabled());
    Click(editor->DeleteButton());
    EXPECT_EQ(scene.Functions.size(), 1u);
}

TEST_F(FunctionEditorTest, ExportedFunctionsImportIntoAnotherScene) {
    OpenEditor(scene);
    Declare("F(X)", "X*X", "the square, with \"quotes\", commas");
    Click(editor->AddButton());
    const std::string one = TempPath("one.fnl");
    files.Answers = {one};
    OnNextDialog<frmFunctionSelect>([](frmFunctionSelect& s) {
        EXPECT_EQ(s.windowTitle(), "Select Functions");
        EXPECT_EQ(Lines(s.List()), std::vector<std::string>{"F(X)"});
        Click(s.OkButton());
    });
    Click(editor->ExportButton());
    ASSERT_EQ(files.Calls.size(), 1u);
    EXPECT_EQ(files.Calls[0].Title, "Export Function List");
    EXPECT_EQ(files.Calls[0].DefaultExtension, "fnl");
    EXPECT_EQ(files.Calls[0].Filter, "Function List (*.fnl)|*.fnl");
    EXPECT_FALSE(files.Calls[0].Open);
    const std::vector<std::string> written = FileLines(one);
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(written[0], "--FNL 1.0--");
    EXPECT_EQ(written[1], "1");

    // Two more, and only the chosen ones go into a second file.
    Declare("G", "pi/2");
    Click(editor->AddButton());
    Declare("H(a, b, c)", "a+b+c", "sum of three");
    Click(editor->AddButton());
    const std::string two = TempPath("two.fnl");
    files.Answers = {two};
    OnNextDialog<frmFunctionSelect>([](frmFunctionSelect& s) {
        Click(s.NoneButton());
        ClickItem(s.List(), 2);
        ClickItem(s.List(), 0);
        Click(s.OkButton());
    });
    Click(editor->ExportButton());
    ASSERT_EQ(FileLines(two).size(), 4u);
    EXPECT_EQ(FileLines(two)[1], "2");

    clsScene other;
    other.Functions = {Definition("k", "1")};
    OpenEditor(other);
    files.Calls.clear();
    Import(two, [](frmFunctionSelect& s) {
        EXPECT_EQ(Lines(s.List()), (std::vector<std::string>{"F(X)", "H(a, b, c)"}));
        Click(s.OkButton()); // everything starts picked
    });
    ASSERT_EQ(files.Calls.size(), 1u);
    EXPECT_EQ(files.Calls[0].Title, "Import Function List");
    EXPECT_TRUE(files.Calls[0].Open);
    EXPECT_TRUE(prompt.Messages.empty());
    EXPECT_EQ(Names(other), (std::vector<std::string>{"k", "F(X)", "H(a, b, c)"}));
    EXPECT_EQ(Lines(editor->List()), Names(other));
    EXPECT_EQ(other.Functions[1].Body, "X*X");
    EXPECT_EQ(other.Functions[1].Description, "the square, with \"quotes\", commas");
    EXPECT_EQ(other.Functions[2].Body, "a+b+c");
    EXPECT_EQ(other.Functions[2].Description, "sum of three");
    EXPECT_TRUE(other.Modified);

    // Imported names are not checked: the same file again adds the picked ones again.
    Import(one, [](frmFunctionSelect& s) { Click(s.OkButton()); });
    EXPECT_EQ(Names(other), (std::vector<std::string>{"k", "F(X)", "H(a, b, c)", "F(X)"}));
}

TEST_F(FunctionEditorTest, DamagedOrMissingFilesAreReportedAndAddNothing) {
    scene.Functions = {Definition("k", "1")};
    OpenEditor(scene);
    const std::string path = TempPath("bad.fnl");
    const struct {
        QByteArray content;
        std::string message;
        std::string title;
    } cases[] = {
        {"--FNL 1.1--\r\n0\r\n", "Invalid function list file", "Error"},
        {" --FNL 1.0--\r\n0\r\n", "Invalid function list file", "Error"},
        {"", "Invalid function list file", "Error"},
        {QByteArray("\0\xff\xfe garbage", 12), "Invalid function list file", "Error"},
        {"--FNL 1.0--\r\n3\r\nF\r\n", "Error reading from file '" + path + "'", ""},
        {"--FNL 1.0--\r\nmany\r\n", "Error reading from file '" + path + "'", ""},
        {"--FNL 1.0--\r\n", "Error reading from file '" + path + "'", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content.toStdString());
        prompt.Messages.clear();
        WriteFile(path, c.content);
        Import(path);
        ASSERT_EQ(prompt.Messages.size(), 1u);
        EXPECT_EQ(prompt.LastText(), c.message);
        EXPECT_EQ(prompt.Messages[0].Title, c.title);
        EXPECT_EQ(prompt.Messages[0].Icon, PromptIcon::Critical);
    }
    prompt.Messages.clear();
    const std::string missing = TempPath("missing.fnl");
    Import(missing);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Unable to open file '" + missing + "'"});

    // A file that cannot be created.
    prompt.Messages.clear();
    const std::string nowhere = TempPath("no/such/folder/out.fnl");
    files.Answers = {nowhere};
    OnNextDialog<frmFunctionSelect>([](frmFunctionSelect& s) { Click(s.OkButton()); });
    Click(editor->ExportButton());
    EXPECT_EQ(Texts(), std::vector<std::string>{"Unable to create file '" + nowhere + "'"});

    EXPECT_EQ(Names(scene), std::vector<std::string>{"k"});
    EXPECT_FALSE(scene.Modified);
    EXPECT_FALSE(editor->Changed());
}

TEST_F(FunctionEditorTest, CancelledOrEmptySelectionsStopImportAndExport) {
    scene.Functions = {Definition("k", "1")};
    OpenEditor(scene);
    OnNextDialog<frmFunctionSelect>([](frmFunctionSelect& s) { Click(s.CancelButton()); });
    Click(editor->ExportButton());
    OnNextDialog<frmFunctionSelect>([](frmFunctionSelect& s) {
        Click(s.NoneButton());
        Click(s.OkButton());
    });
    Click(editor->ExportButton());
    EXPECT_TRUE(files.Calls.empty()); // no file was asked for

    // The file dialog cancelled: nothing written, nothing said.
    OnNextDialog<frmFunctionSelect>([](frmFunctionSelect& s) { Click(s.OkButton()); });
    Click(editor->ExportButton());
    EXPECT_EQ(files.Calls.size(), 1u);
    EXPECT_TRUE(prompt.Messages.empty());

    const std::string path = TempPath("k.fnl");
    std::string error;
    ASSERT_TRUE(WriteFunctionListFile(path, {Definition("G", "2")}, error)) << error;
    Import(path, [](frmFunctionSelect& s) { Click(s.CancelButton()); });
    Import(path, [](frmFunctionSelect& s) {
        Click(s.NoneButton());
        Click(s.AllButton());
        ClickItem(s.List(), 0); // unpicks it again
        Click(s.OkButton());
    });
    EXPECT_EQ(Names(scene), std::vector<std::string>{"k"});
    EXPECT_FALSE(scene.Modified);
}

TEST_F(FunctionEditorTest, ChooserInsertsTheChosenSignatureAtTheCaret) {
    scene.Functions = {Definition("wave(a, b)", "sin(a)*b", "a wave")};
    OpenEditor(scene);
    Type(editor->BodyField(), "2*+1");
    editor->BodyField()->setCursorPosition(2);
    OnNextDialog<frmFunctionChooser>([](frmFunctionChooser& c) {
        EXPECT_EQ(Lines(c.CategoryList()), (std::vector<std::string>{"Standard", "Constants", "Custom",
                                                                      "Operators", "Pseudo", "Macro"}));
        EXPECT_EQ(c.CategoryList()->currentRow(), 0);
        EXPECT_EQ(c.EntryList()->count(), static_cast<int>(GetStandardHeaders().size()));
        EXPECT_FALSE(c.OkButton()->isEnabled());

        ClickItem(c.CategoryList(), 2);
        EXPECT_EQ(Lines(c.EntryList()), std::vector<std::string>{"wave(a, b)"});
        ClickItem(c.CategoryList(), 4);
        EXPECT_EQ(Lines(c.EntryList()).front(), "X(t)");
        ClickItem(c.CategoryList(), 5);
        EXPECT_FALSE(c.OkButton()->isEnabled());
        ClickItem(c.EntryList(), 2);
        EXPECT_EQ(c.NameLabel()->text(), "integrate(f(x),x,xmin,xmax,[dx])");
        EXPECT_TRUE(c.DescriptionLabel()->text().startsWith("Gives a numerical approximation"));
        EXPECT_TRUE(c.OkButton()->isEnabled());
        Click(c.OkButton());
    });
    Click(editor->ChooserButton());
    EXPECT_EQ(editor->BodyField()->text(), "2*integrate(f(x),x,xmin,xmax,[dx])+1");

    // A selection is replaced; a double click picks as OK does.
    Type(editor->BodyField(), "2*XX");
    editor->BodyField()->setSelection(2, 2);
    OnNextDialog<frmFunctionChooser>([](frmFunctionChooser& c) {
        ClickItem(c.CategoryList(), 1);
        QListWidget* list = c.EntryList();
        ClickItem(list, 0);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(0)).center());
    });
    Click(editor->ChooserButton());
    EXPECT_EQ(editor->BodyField()->text(), "2*pi");

    // Cancel leaves the box as it was.
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
    EXPECT_DOUBLE_EQ(curve.BreakApart().back()->EndPoint.x, 10);

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
    EXPECT_DOUBLE_EQ(curve.BreakApart().back()->EndPoint.x, 30);
}

} // namespace
} // namespace ov::testing
