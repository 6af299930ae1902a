// Whole-program scenarios: what a user does across documents and commands on the real main
// window, with keys and mouse, checked against a fresh look at every view and file.
#include "FunctionDialogTestSupport.h"
#include "MainWindowTestSupport.h"

#include <QFile>
#include <QPushButton>

#include "app/desktop/QtDesktop.h"
#include "app/dialogs/frmFunctionProperties.h"
#include "shapes/clsLine.h"

namespace ov::testing {
namespace {

class ScenarioTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        SetEscapeKey(&escape); // long computations let events through, as in the program
    }
    void TearDown() override {
        MainWindowFixture::TearDown();
        SetEscapeKey(nullptr);
    }

    // A key as the user types it into a widget, by default the active document's first view.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier, QWidget* widget = nullptr) {
        // Shortcuts reach the active window only; a closed dialog hands activation back late.
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
        QTest::keyClick(widget ? widget : main->ActiveDocument()->GetViewPort(0), key, modifiers);
    }

    // Every view of a document shows what painting it afresh shows.
    void ExpectViewsUpToDate(frmDocument* doc) {
        QTest::qWait(250); // a picture put off during a computation is made by now
        for (int i = 0; i < frmDocument::PortCount; ++i) {
            ViewPort* port = doc->GetViewPort(i);
            port->EnsureRendered();
            const QImage shown = port->GetCanvas().Image().copy();
            port->Invalidate();
            port->EnsureRendered();
            EXPECT_EQ(shown, port->GetCanvas().Image()) << "view " << i;
        }
    }

    int PortOf(frmDocument* doc, std::int32_t viewType) {
        for (int i = 0; i < frmDocument::PortCount; ++i)
            if (doc->GetView(i).ViewType == viewType) return i;
        return -1;
    }

    static QByteArray FileBytes(const std::string& path) {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QtEscapeKey escape;
};

TEST_F(ScenarioTest, AFunctionCopiedFromAClosedDocumentIsPastedUndoneSavedAndReopened) {
    // The receiving document has a function X of its own, which the pasted curve must use.
    clsFncDef ownX;
    ownX.ParseName("x(t)");
    ownX.Body = "t+100";
    Scene().Functions.push_back(std::move(ownX));

    frmDocument* source = main->NewDocument();
    functiondialogs::OnNextDialog<frmFunctionProperties>(
        [](frmFunctionProperties& dialog) { QTest::mouseClick(dialog.OkButton(), Qt::LeftButton); });
    ClickToolbar("Function");
    ASSERT_EQ(source->GetScene().GetRootNode()->LastChild()->NodeType, clsNode::Function);
    Key(Qt::Key_C, Qt::ControlModifier, &Tree()); // typed in the object list
    ASSERT_NE(main->ClipboardNode(), nullptr);
    prompt.Answers.push_back(PromptAnswer::No);
    Choose("mnuFileClose");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(main->ActiveDocument(), document);

    Key(Qt::Key_V);
    clsNode* pasted = Scene().GetRootNode()->LastChild();
    ASSERT_EQ(pasted->NodeType, clsNode::Function);
    EXPECT_TRUE(pasted->Selected);
    clsPoint3D min, max;
    pasted->GetBBox(min, max);
    EXPECT_DOUBLE_EQ(min.x, 100); // sampled with this document's X
    ExpectViewsUpToDate(document);

    Key(Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(Scene().GetRootNode()->LastChild()->NodeType, clsNode::Group);
    ExpectViewsUpToDate(document);
    Key(Qt::Key_Z);
    ASSERT_EQ(Scene().GetRootNode()->LastChild()->NodeType, clsNode::Function);
    ExpectViewsUpToDate(document);

    // Saved under a new name, the file holds that name; reopened, it saves to the same bytes.
    const std::string path = TempPath("Cottage.ovp");
    files.Answers.push_back(path);
    Key(Qt::Key_S);
    const QByteArray saved = FileBytes(path);
    EXPECT_TRUE(saved.contains("Name = Cottage.ovp\r\n"));
    prompt.Answers.push_back(PromptAnswer::No);
    Choose("mnuFileClose");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    frmDocument* reopened = main->OpenProject(path);
    ASSERT_NE(reopened, nullptr);
    if (auto* notes = QApplication::activeModalWidget()) notes->close();
    EXPECT_EQ(reopened->GetScene().GetRootNode()->LastChild()->NodeType, clsNode::Function);
    ASSERT_TRUE(reopened->GetScene().SaveScene(path));
    EXPECT_EQ(FileBytes(path), saved);
}

TEST_F(ScenarioTest, AnUndoDuringADragEndsTheDragAndWindowCommandsKeepEveryDocumentUsable) {
    const std::string barKey = HousePart("Bar 1")->Key; // (0,0,3)-(0,10,3)
    ClickNode(House());
    Choose("mnuObjectDuplicate"); // the step that the undo below takes back

    const int top = PortOf(document, clsView::Top);
    ASSERT_GE(top, 0);
    ViewPort* port = document->GetViewPort(top);
    clsView& view = document->GetView(top);
    const QPoint on(static_cast<int>(view.GetScreenX(0)), static_cast<int>(view.GetScreenY(5)));
    QTest::mouseClick(port, Qt::LeftButton, {}, on); // makes the view the active one
    QTest::mouseClick(port, Qt::LeftButton, {}, on); // selects a house
    ASSERT_NE(Manager().GetSelection(), nullptr);
    QTest::mousePress(port, Qt::LeftButton, {}, on);
    QTest::mouseMove(port, on + QPoint(40, 20));
    QTest::mouseMove(port, on + QPoint(60, 30));
    QTest::keyClick(port, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(document->Tools().GetDragState(), ToolInteraction::Idle);
    QTest::mouseRelease(port, Qt::LeftButton, {}, on + QPoint(60, 30));
    EXPECT_EQ(Manager().GetRedoString(), "Duplicate");
    EXPECT_EQ(Manager().GetUndoString(), "");
    EXPECT_DOUBLE_EQ(Manager().FindNode(barKey)->GetLine()->Segment->StartPoint.x, 0);
    ExpectViewsUpToDate(document);

    // Two more documents, one of them minimised; every arrangement leaves room for the views.
    main->NewDocument();
    main->NewDocument()->parentWidget()->showMinimized();
    for (const char* command : {"mnuWindowCascade", "mnuWindowTileHorizontal", "mnuWindowTileVertical",
                                "mnuWindowArrangeIcons"}) {
        Choose(command);
        QCoreApplication::processEvents();
        for (QMdiSubWindow* window : main->MdiArea()->subWindowList()) {
            if (window->isMinimized()) continue;
            auto* doc = qobject_cast<frmDocument*>(window->widget());
            for (int i = 0; i < frmDocument::PortCount; ++i) {
                EXPECT_GE(doc->GetViewPort(i)->width(), 60) << command;
                EXPECT_GE(doc->GetViewPort(i)->height(), 40) << command;
            }
        }
    }
}

} // namespace
} // namespace ov::testing
