// Whole-program scenarios: what a user does across documents and commands on the real main
// window, with keys and mouse, checked against a fresh look at every view and file.
#include "MainWindowTestSupport.h"

#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTextBrowser>

#include "Version.h"
#include "app/dialogs/frmAbout.h"
#include "app/dialogs/frmFileInfo.h"
#include "app/dialogs/frmFunctionProperties.h"
#include "app/dialogs/frmUserGuide.h"

namespace ov::testing {
namespace {

class ScenarioTest : public MainWindowFixture {
protected:
    // Every view of the first document shows what painting it afresh shows.
    void ExpectViewsUpToDate() {
        QTest::qWait(250); // a picture put off during a computation is made by now
        for (int i = 0; i < frmDocument::PortCount; ++i) {
            const QImage shown = Picture(i);
            Port(i)->Invalidate();
            EXPECT_EQ(shown, Picture(i)) << "view " << i;
        }
    }
    // Drags a file over the window and drops it there; false when the drag is refused.
    bool Drop(const QUrl& url) {
        QMimeData data;
        data.setUrls({QUrl("https://example.com/remote.ovp"), url});
        QDragEnterEvent enter(QPoint(9, 9), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(main.get(), &enter);
        QDropEvent drop(QPointF(9, 9), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        if (enter.isAccepted()) QApplication::sendEvent(main.get(), &drop);
        return enter.isAccepted();
    }
    void CloseNotes() {
        if (auto* notes = QApplication::activeModalWidget()) notes->close();
    }
};

TEST_F(ScenarioTest, AFunctionCopiedFromAClosedDocumentIsPastedUndoneSavedAndReopened) {
    // The receiving document's own X, which the pasted curve must use.
    Scene().Functions.push_back(functiondialogs::Definition("x(t)", "t+100"));

    frmDocument* source = main->NewDocument();
    functiondialogs::OnNextDialog<frmFunctionProperties>([](auto& d) { functiondialogs::Click(d.OkButton()); });
    ClickToolbar("Function");
    ASSERT_EQ(source->GetScene().GetRootNode()->LastChild()->NodeType, clsNode::Function);
    Key(Qt::Key_C, Qt::ControlModifier, &Tree()); // typed in the object list
    ASSERT_NE(main->ClipboardNode(), nullptr);
    CloseActive({PromptAnswer::No});
    ASSERT_EQ(main->ActiveDocument(), document);

    Key(Qt::Key_V);
    ASSERT_TRUE(Last()->NodeType == clsNode::Function && Last()->Selected);
    clsPoint3D min, max;
    EXPECT_DOUBLE_EQ((Last()->GetBBox(min, max), min.x), 100); // sampled with this document's X
    ExpectViewsUpToDate();
    Key(Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(Last()->NodeType, clsNode::Group);
    Key(Qt::Key_Z);
    ASSERT_EQ(Last()->NodeType, clsNode::Function);
    ExpectViewsUpToDate();

    // Saved under a new name, the file holds that name; reopened, it saves to the same bytes.
    const std::string path = TempPath("Cottage.ovp");
    files.Answers.push_back(path);
    Key(Qt::Key_S);
    EXPECT_EQ(files.Calls.back().Title + "/" + files.Calls.back().DefaultExtension, "Save Project As/ovp");
    EXPECT_EQ(document->windowTitle(), "Cottage.ovp");
    const QByteArray saved = FileBytes(path);
    EXPECT_TRUE(saved.contains("Name = Cottage.ovp\r\n") && !saved.contains("Document 1"));
    CloseActive(); // saved: closes without a question
    EXPECT_TRUE(!DocumentCount() && !App().ActiveScene && !Tree().topLevelItemCount() && !Enabled("mnuFileSave"));
    files.Answers.push_back(path);
    ClickToolbar("Open");
    EXPECT_TRUE(files.Calls.back().Title == "Open Project" && files.Calls.back().Open);
    CloseNotes();
    EXPECT_EQ(Last()->NodeType, clsNode::Function);
    ASSERT_TRUE(Scene().SaveScene(path));
    EXPECT_EQ(FileBytes(path), saved);
}

TEST_F(ScenarioTest, AnUndoDuringADragEndsTheDragAndWindowCommandsKeepEveryDocumentUsable) {
    const std::string barKey = HousePart("Bar 1")->Key; // (0,0,3)-(0,10,3)
    ClickNode(House());
    Choose("mnuObjectDuplicate"); // the step that the undo below takes back
    const QPoint on(document->GetView(0).GetScreenX(0), document->GetView(0).GetScreenY(5)); // in the top view
    for (int i = 0; i < 2; ++i) Mouse(QTest::MouseClick, on); // activates the view, selects
    ASSERT_NE(Manager().GetSelection(), nullptr);
    DragTo(on, on + QPoint(60, 30));
    QTest::keyClick(Port(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(document->Tools().GetDragState(), ToolInteraction::Idle);
    Mouse(QTest::MouseRelease, on + QPoint(60, 30));
    EXPECT_TRUE(Manager().GetRedoString() == "Duplicate" && Manager().GetUndoString().empty());
    EXPECT_DOUBLE_EQ(Manager().FindNode(barKey)->GetLine()->Segment->StartPoint.x, 0);
    ExpectViewsUpToDate();

    // Two more documents, one of them minimised; every arrangement leaves room for the views.
    main->NewDocument();
    main->NewDocument()->parentWidget()->showMinimized();
    for (const char* command :
         {"mnuWindowCascade", "mnuWindowTileHorizontal", "mnuWindowTileVertical", "mnuWindowArrangeIcons"}) {
        Choose(command);
        QCoreApplication::processEvents();
        for (QMdiSubWindow* window : main->MdiArea()->subWindowList())
            for (int i = 0; i < frmDocument::PortCount && !window->isMinimized(); ++i) {
                const QSize size = qobject_cast<frmDocument*>(window->widget())->GetViewPort(i)->size();
                EXPECT_TRUE(size.width() >= 60 && size.height() >= 40) << command;
            }
    }
}

TEST_F(ScenarioTest, SaveQuestionsSaveAllAndAFailedSaveKeepTheWork) {
    auto deleteFromList = [&](const char* name) { ClickNode(HousePart(name)), Choose("mnuObjectDelete"); };
    deleteFromList("Chimney");
    EXPECT_EQ(document->windowTitle(), "Document 1 *");
    frmDocument* second = main->NewDocument();
    const std::string path = TempPath("second.ovp");
    files.Answers.push_back(path);
    ASSERT_TRUE(main->OnSave(second->GetScene()));
    const QByteArray saved = FileBytes(path);
    deleteFromList("Door");

    // Save All stops at a cancelled Save As: nothing is saved.
    files.Calls.clear();
    Choose("mnuFileSaveAll");
    ASSERT_EQ(files.Calls.size(), 1u);
    EXPECT_TRUE(document->GetScene().Modified && second->GetScene().Modified && FileBytes(path) == saved);
    // A second change: Cancel keeps the window, Yes saves under the known name without a dialog.
    CloseActive({PromptAnswer::Cancel});
    EXPECT_EQ(prompt.LastText(), "Do you want to save the project 'second.ovp'?");
    EXPECT_TRUE(prompt.Messages.back().Buttons == PromptButtons::YesNoCancel && main->ActiveDocument() == second);
    CloseActive({PromptAnswer::Yes});
    EXPECT_EQ(files.Calls.size(), 1u);
    ASSERT_TRUE(main->OpenProject(path) && !HousePart("Door"));
    CloseActive();

    // Save As offers the current file; a failed save says so and keeps the changes.
    files.Answers = {TempPath("first.ovp"), TempPath("missing-folder/b.ovp")};
    Choose("mnuFileSaveAll");
    ASSERT_FALSE(Scene().Modified);
    Scene().OnDirty();
    Choose("mnuFileSaveAs");
    EXPECT_EQ(files.Calls.back().InitialFileName, TempPath("first.ovp"));
    EXPECT_TRUE(prompt.LastText().rfind("Unable to save the project '", 0) == 0 && Scene().Modified);

    // Exit asks every document; Cancel keeps the program.
    main->NewDocument()->GetScene().OnDirty();
    prompt.Answers = {PromptAnswer::No, PromptAnswer::Cancel};
    Choose("mnuFileExit");
    EXPECT_TRUE(main->isVisible() && DocumentCount() == 1);
    prompt.Answers = {PromptAnswer::No};
    Choose("mnuFileExit");
    EXPECT_FALSE(main->isVisible());
}

TEST_F(ScenarioTest, ExportedDroppedImportedPrintedAndHelp) {
    // Export writes a metafile of the active view, named after the document or its project.
    const std::string view = document->GetActiveView().GetViewName(), emf = TempPath("house.emf");
    const std::string bad = TempPath("no-such-folder/x.emf"), project = TempPath("Dropped.Scene.OVP");
    files.Answers = {TempPath("house"), bad}; // the chosen type's extension is added
    ClickToolbar("Export");
    EXPECT_EQ(files.Calls.back().Title + "/" + files.Calls.back().InitialFileName,
              "Export Active View/Document 1 (" + view + ").emf");
    EXPECT_EQ(FileBytes(emf).mid(40, 4), QByteArray(" EMF")); // the signature of the header
    ASSERT_TRUE(Scene().SaveScene(project));
    Choose("mnuFileExport");
    EXPECT_EQ(files.Calls.back().InitialFileName, TempPath("Dropped.Scene") + " (" + view + ").emf");
    EXPECT_EQ(prompt.LastText(), "Unable to export to file '" + bad + "'");
    Choose("mnuFileExport"); // cancelled: writes nothing and says nothing
    EXPECT_EQ(prompt.Messages.size(), 1u);

    // Only local files are taken, and of them projects only.
    EXPECT_FALSE(Drop(QUrl()));
    EXPECT_TRUE(Drop(QUrl::fromLocalFile(dir.path())) && DocumentCount() == 1 && prompt.Messages.size() == 1);
    EXPECT_TRUE(Drop(QUrl::fromLocalFile(QString::fromStdString(project))) && DocumentCount() == 1); // open already
    const QString copy = dir.filePath("Copy.OVP");
    EXPECT_TRUE(QFile::copy(QString::fromStdString(project), copy) && Drop(QUrl::fromLocalFile(copy)));
    EXPECT_EQ(main->ActiveDocument()->windowTitle(), "Copy.OVP");
    CloseNotes();
    const std::size_t messages = prompt.Messages.size();

    const int before = Scene().GetRootNode()->GetChildCount();
    files.Answers.push_back(project);
    ClickToolbar("Import");
    EXPECT_TRUE(files.Calls.back().Title == "Import Project" && Scene().GetRootNode()->GetChildCount() == before + 1 &&
                Last()->Selected);
    EXPECT_EQ(Action("mnuEditUndo")->text(), "&Undo Import");

    const std::string pdf = TempPath("print.pdf"); // the active view printed on the printer chosen
    main->ChoosePrinter = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    };
    ClickToolbar("Print");
    EXPECT_TRUE(FileBytes(pdf).startsWith("%PDF") && Enabled("mnuEditSelectAll")); // no longer busy

    std::vector<std::string> opened;
    main->OpenUrl = [&](const QUrl& url) { return opened.push_back(url.toString().toStdString()), opened.size() < 2; };
    Choose("mnuHelpContents");
    EXPECT_EQ(prompt.Messages.size(), messages);
    Choose("mnuHelpContents");
    EXPECT_EQ(opened, std::vector<std::string>(2, frmMain::HelpAddress()));
    EXPECT_TRUE(prompt.LastText() == std::string("Unable to load help file: ") + frmMain::HelpAddress() &&
                prompt.Messages.back().Icon == PromptIcon::Critical);
    // F1 opens the guide shipped with the program, without the network; a second F1 reuses its window.
    for (int i = 0; i < 2; ++i) Key(Qt::Key_F1, Qt::NoModifier);
    const auto guides = main->findChildren<frmUserGuide*>();
    ASSERT_EQ(guides.size(), 1);
    EXPECT_TRUE(guides[0]->isVisible() && guides[0]->Browser()->toPlainText().contains("Moving around"));
    functiondialogs::OnNextDialog<frmAbout>([](frmAbout& about) {
        EXPECT_TRUE(about.findChild<QLabel*>("lblAbout")->text().contains(QString("Version ") + kVersion));
        about.accept();
    });
    Choose("mnuHelpAbout");
}

TEST_F(ScenarioTest, SceneNotesAreEditedInTheirBoxAndGreetEveryOpening) {
    Scene().Name = "<font size=7 color=red>big";
    bool seen = false;
    functiondialogs::OnNextDialog<frmFileInfo>([&](frmFileInfo& box) {
        const auto* caption = box.findChild<QLabel*>(); // the name as written, not as markup
        seen = box.windowTitle() == "Scene Notes" && caption && caption->textFormat() == Qt::PlainText &&
               caption->text() == "Notes on <font size=7 color=red>big:";
        QTest::keyClicks(box.NotesField(), "Roof tiles: red");
        box.accept();
    });
    Choose("mnuFileInfo");
    EXPECT_TRUE(seen && Scene().Notes == "Roof tiles: red" && Scene().Modified);

    const std::string noted = TempPath("noted.ovp"), plain = TempPath("plain.ovp");
    ASSERT_TRUE(Scene().SaveScene(noted));
    ASSERT_TRUE(main->NewDocument()->GetScene().SaveScene(plain));
    CloseActive(), CloseActive(); // an open project would only come forward
    for (const std::string& path : {noted, plain}) { // a project without notes invites them
        frmDocument* opened = main->OpenProject(path);
        auto* greeting = opened ? opened->findChild<frmFileInfo*>() : nullptr;
        ASSERT_TRUE(greeting && greeting->isVisible()) << path;
        EXPECT_EQ(greeting->NotesField()->toPlainText(), path == noted ? "Roof tiles: red" : "");
        greeting->reject();
        EXPECT_FALSE(opened->GetScene().Modified);
    }
    // Notes the size of a book wait to be asked for.
    Scene().Notes.assign((1 << 20) + 1, 'n');
    ASSERT_TRUE(Scene().SaveScene(TempPath("book.ovp")));
    ASSERT_TRUE(QFile::copy(QString::fromStdString(TempPath("book.ovp")), QString::fromStdString(TempPath("copy.ovp"))));
    frmDocument* book = main->OpenProject(TempPath("copy.ovp"));
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(book->findChild<frmFileInfo*>(), nullptr);
}

} // namespace
} // namespace ov::testing
