// The main window's file commands on a real window: save, close with the question to save,
// reopen, Save All, drops, export, print, help and the notes box.
#include "MainWindowTestSupport.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTimer>
#include <QUrl>

#include "app/dialogs/frmFileInfo.h"

namespace ov::testing {
namespace {

class MainWindowFilesTest : public MainWindowFixture {
protected:
    int DocumentCount() { return static_cast<int>(main->MdiArea()->subWindowList().size()); }

    std::vector<std::string> TopLevelNames(clsScene& scene) {
        std::vector<std::string> names;
        for (clsNode* c = scene.GetRootNode()->FirstChild(); c; c = c->NextSibling()) names.push_back(c->GetNodeName());
        return names;
    }

    QByteArray FileBytes(const std::string& path) {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Drags files over the window and drops them there.
    bool Drop(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at(main->width() / 2, main->height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(main.get(), &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(main.get(), &drop);
        return true;
    }

    // Closes the active document through the File menu, answering the question to save.
    void CloseActive(PromptAnswer answer) {
        prompt.Answers.push_back(answer);
        Choose("mnuFileClose");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(MainWindowFilesTest, SaveCloseAndReopenKeepTheWork) {
    const std::string path = TempPath("house.ovp");
    ClickNode(HousePart("Chimney"));
    Choose("mnuObjectDelete");
    EXPECT_EQ(document->windowTitle(), "Document 1 *");

    files.Answers.push_back(path);
    ClickToolbar("Save");
    ASSERT_EQ(files.Calls.size(), 1u);
    EXPECT_EQ(files.Calls[0].Title, "Save Project As");
    EXPECT_EQ(files.Calls[0].DefaultExtension, "ovp");
    EXPECT_FALSE(files.Calls[0].Open);
    EXPECT_FALSE(Scene().Modified);
    EXPECT_EQ(document->windowTitle(), "house.ovp");
    EXPECT_EQ(Tree().topLevelItem(0)->text(0), "house.ovp");
    const QByteArray saved = FileBytes(path);
    EXPECT_TRUE(saved.contains("Name = house.ovp\r\n")); // the name it takes, already in the file
    EXPECT_FALSE(saved.contains("Document 1"));

    // A second change: Cancel keeps the window, No closes it without saving.
    ClickNode(HousePart("Door"));
    Choose("mnuObjectDelete");
    CloseActive(PromptAnswer::Cancel);
    ASSERT_EQ(prompt.Messages.size(), 1u);
    EXPECT_EQ(prompt.LastText(), "Do you want to save the project 'house.ovp'?");
    EXPECT_EQ(prompt.Messages.back().Buttons, PromptButtons::YesNoCancel);
    EXPECT_EQ(DocumentCount(), 1);
    EXPECT_EQ(main->ActiveDocument(), document);
    CloseActive(PromptAnswer::No);
    EXPECT_EQ(DocumentCount(), 0);
    EXPECT_EQ(main->ActiveDocument(), nullptr);
    EXPECT_EQ(App().ActiveScene, nullptr);
    EXPECT_EQ(Tree().topLevelItemCount(), 0);
    EXPECT_FALSE(main->MenuAction("mnuFileSave")->isEnabled());
    EXPECT_EQ(FileBytes(path), saved);

    files.Answers.push_back(path);
    ClickToolbar("Open");
    EXPECT_EQ(files.Calls.back().Title, "Open Project");
    EXPECT_TRUE(files.Calls.back().Open);
    ASSERT_EQ(DocumentCount(), 1);
    EXPECT_EQ(main->ActiveDocument()->windowTitle(), "house.ovp");
    EXPECT_EQ(HousePart("Chimney"), nullptr);
    ASSERT_NE(HousePart("Door"), nullptr);
    EXPECT_FALSE(Scene().Modified);

    // Yes saves under the known name before closing.
    ClickNode(HousePart("Door"));
    Choose("mnuObjectDelete");
    const std::size_t dialogs = files.Calls.size();
    CloseActive(PromptAnswer::Yes);
    EXPECT_EQ(DocumentCount(), 0);
    EXPECT_EQ(files.Calls.size(), dialogs); // the file had a name: no dialog
    ASSERT_NE(main->OpenProject(path), nullptr);
    EXPECT_EQ(HousePart("Door"), nullptr);
    EXPECT_EQ(HousePart("Window 1")->GetChildCount(), 4);
}

TEST_F(MainWindowFilesTest, CancelledSaveAsLeavesTheSceneDirtyAndStopsSaveAll) {
    frmDocument* first = document;
    first->GetScene().OnDirty();

    const std::string secondPath = TempPath("second.ovp");
    frmDocument* second = main->NewDocument();
    ASSERT_TRUE(main->OnSave(second->GetScene()) == false); // no answer: the dialog is cancelled
    files.Answers.push_back(secondPath);
    ASSERT_TRUE(main->OnSave(second->GetScene()));
    const QByteArray saved = FileBytes(secondPath);
    second->GetScene().TreeManager.SelectAll();
    second->GetScene().TreeManager.DeleteSelected(false);
    ASSERT_TRUE(second->GetScene().Modified);

    files.Calls.clear();
    Choose("mnuFileSaveAll");
    ASSERT_EQ(files.Calls.size(), 1u);
    EXPECT_EQ(files.Calls[0].Title, "Save Project As");
    EXPECT_TRUE(first->GetScene().Modified);
    EXPECT_TRUE(second->GetScene().Modified);
    EXPECT_EQ(FileBytes(secondPath), saved);

    // Once the first has a name, Save All saves both.
    files.Answers.push_back(TempPath("first.ovp"));
    Choose("mnuFileSaveAll");
    EXPECT_FALSE(first->GetScene().Modified);
    EXPECT_FALSE(second->GetScene().Modified);
    EXPECT_NE(FileBytes(secondPath), saved);
}

TEST_F(MainWindowFilesTest, SaveAsOffersTheCurrentFileAndAFailedSaveKeepsTheChanges) {
    const std::string path = TempPath("a.ovp");
    files.Answers.push_back(path);
    Choose("mnuFileSaveAs");
    Scene().OnDirty();
    files.Answers.push_back(TempPath("missing-folder/b.ovp"));
    Choose("mnuFileSaveAs");
    EXPECT_EQ(files.Calls.back().InitialFileName, path);
    EXPECT_EQ(prompt.LastText().rfind("Unable to save the project '", 0), 0u) << prompt.LastText();
    EXPECT_TRUE(Scene().Modified);
    EXPECT_EQ(Scene().FileName, path);
}

TEST_F(MainWindowFilesTest, ExitAsksEveryDocumentAndCancelKeepsTheProgram) {
    main->NewDocument();
    for (QMdiSubWindow* window : main->MdiArea()->subWindowList())
        qobject_cast<frmDocument*>(window->widget())->GetScene().OnDirty();

    prompt.Answers = {PromptAnswer::No, PromptAnswer::Cancel};
    Choose("mnuFileExit");
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(DocumentCount(), 1);
    EXPECT_EQ(prompt.Messages.size(), 2u);

    prompt.Answers = {PromptAnswer::No};
    Choose("mnuFileExit");
    EXPECT_EQ(DocumentCount(), 0);
    EXPECT_FALSE(main->isVisible());
}

TEST_F(MainWindowFilesTest, DroppedProjectsOpenAndOtherFilesAreIgnored) {
    const std::string project = TempPath("Dropped.Scene.OVP");
    ASSERT_TRUE(Scene().SaveScene(project));
    const std::string text = TempPath("notes.txt");
    {
        QFile file(QString::fromStdString(text));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a project");
    }
    const int before = DocumentCount();

    EXPECT_FALSE(Drop({QUrl("https://example.com/remote.ovp")}));
    EXPECT_TRUE(Drop({QUrl::fromLocalFile(QString::fromStdString(text))}));
    EXPECT_EQ(DocumentCount(), before);
    EXPECT_TRUE(prompt.Messages.empty());

    EXPECT_TRUE(Drop({QUrl::fromLocalFile(QString::fromStdString(text)),
                      QUrl::fromLocalFile(QString::fromStdString(project))}));
    EXPECT_EQ(DocumentCount(), before + 1);
    EXPECT_EQ(main->ActiveDocument()->windowTitle(), "Dropped.Scene.OVP");

    // A project that cannot be read is reported and opens no window.
    EXPECT_TRUE(Drop({QUrl::fromLocalFile(QString::fromStdString(TempPath("gone.ovp")))}));
    EXPECT_EQ(DocumentCount(), before + 1);
    ASSERT_EQ(prompt.Messages.size(), 1u);
    EXPECT_EQ(prompt.LastText().rfind("Unable to load the project '", 0), 0u);
}

TEST_F(MainWindowFilesTest, ExportWritesAMetafileOfTheActiveViewOrSaysItCannot) {
    const std::string path = TempPath("house.emf");
    files.Answers.push_back(path);
    ClickToolbar("Export");
    ASSERT_EQ(files.Calls.size(), 1u);
    EXPECT_EQ(files.Calls[0].Title, "Export Active View");
    EXPECT_EQ(files.Calls[0].DefaultExtension, "emf");
    EXPECT_EQ(files.Calls[0].InitialFileName, "Document 1 (" + document->GetActiveView().GetViewName() + ").emf");
    const QByteArray bytes = FileBytes(path);
    ASSERT_GT(bytes.size(), 88);
    EXPECT_EQ(bytes.mid(40, 4), QByteArray(" EMF")); // the signature of an enhanced metafile header
    EXPECT_TRUE(prompt.Messages.empty());

    // A saved project offers its own file name without the extension.
    ASSERT_TRUE(Scene().SaveScene(TempPath("My.House.ovp")));
    const std::string bad = TempPath("no-such-folder/x.emf");
    files.Answers.push_back(bad);
    Choose("mnuFileExport");
    EXPECT_EQ(files.Calls.back().InitialFileName,
              TempPath("My.House") + " (" + document->GetActiveView().GetViewName() + ").emf");
    ASSERT_EQ(prompt.Messages.size(), 1u);
    EXPECT_EQ(prompt.LastText(), "Unable to export to file '" + bad + "'");

    // A cancelled dialog writes nothing and says nothing.
    Choose("mnuFileExport");
    EXPECT_EQ(prompt.Messages.size(), 1u);
}

TEST_F(MainWindowFilesTest, ImportAddsAnotherProjectsObjects) {
    const std::string path = TempPath("other.ovp");
    ASSERT_TRUE(Scene().SaveScene(path));
    const int before = Scene().GetRootNode()->GetChildCount();
    files.Answers.push_back(path);
    ClickToolbar("Import");
    EXPECT_EQ(files.Calls.back().Title, "Import Project");
    EXPECT_EQ(Scene().GetRootNode()->GetChildCount(), before + 1);
    EXPECT_TRUE(Scene().GetRootNode()->LastChild()->Selected);
    EXPECT_EQ(main->MenuAction("mnuEditUndo")->text(), "&Undo Import");
}

TEST_F(MainWindowFilesTest, PrintSendsTheActiveViewToTheChosenPrinter) {
    const QString pdf = QString::fromStdString(TempPath("print.pdf"));
    int asked = 0;
    main->ChoosePrinter = [&](QPrinter& printer) {
        ++asked;
        if (asked == 1) return false; // cancelled
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    ClickToolbar("Print");
    EXPECT_FALSE(QFile::exists(pdf));
    ClickToolbar("Print");
    EXPECT_EQ(asked, 2);
    const QByteArray bytes = FileBytes(pdf.toStdString());
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_GT(bytes.size(), 1000);
    EXPECT_TRUE(main->MenuAction("mnuEditSelectAll")->isEnabled()); // no longer busy
}

TEST_F(MainWindowFilesTest, HelpOpensTheAddressOrSaysItCannot) {
    QUrl opened;
    main->OpenUrl = [&](const QUrl& url) {
        opened = url;
        return true;
    };
    Choose("mnuHelpContents");
    EXPECT_EQ(opened.toString().toStdString(), frmMain::HelpAddress());
    EXPECT_TRUE(prompt.Messages.empty());

    main->OpenUrl = [](const QUrl&) { return false; };
    Choose("mnuHelpContents");
    ASSERT_EQ(prompt.Messages.size(), 1u);
    EXPECT_EQ(prompt.LastText(), std::string("Unable to load help file: ") + frmMain::HelpAddress());
    EXPECT_EQ(prompt.Messages.back().Icon, PromptIcon::Critical);
}

TEST_F(MainWindowFilesTest, SceneNotesAreEditedInTheirBoxAndGreetTheReader) {
    Scene().Name = "<font size=7 color=red>big";
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<frmFileInfo*>(QApplication::activeModalWidget());
        if (!box) return;
        // The name is shown as written, not as markup.
        const auto* caption = box->findChild<QLabel*>();
        seen = box->windowTitle() == "Scene Notes" && caption && caption->textFormat() == Qt::PlainText &&
               caption->text() == "Notes on <font size=7 color=red>big:";
        QTest::keyClicks(box->NotesField(), "Roof tiles: red");
        box->accept();
    });
    Choose("mnuFileInfo");
    ASSERT_TRUE(seen);
    EXPECT_EQ(Scene().Notes, "Roof tiles: red");
    EXPECT_TRUE(Scene().Modified);

    const std::string path = TempPath("noted.ovp");
    ASSERT_TRUE(Scene().SaveScene(path));
    frmDocument* reopened = main->OpenProject(path);
    ASSERT_NE(reopened, nullptr);
    auto* greeting = reopened->findChild<frmFileInfo*>();
    ASSERT_NE(greeting, nullptr);
    EXPECT_TRUE(greeting->isVisible());
    EXPECT_EQ(greeting->NotesField()->toPlainText(), "Roof tiles: red");
    greeting->reject();
    EXPECT_FALSE(reopened->GetScene().Modified);

    // A project without notes opens with the empty box, ready for them.
    const std::string plain = TempPath("plain.ovp");
    ASSERT_TRUE(main->NewDocument()->GetScene().SaveScene(plain));
    frmDocument* opened = main->OpenProject(plain);
    ASSERT_NE(opened, nullptr);
    ASSERT_NE(opened->findChild<frmFileInfo*>(), nullptr);
}

} // namespace
} // namespace ov::testing
