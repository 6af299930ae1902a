// The main window's menus, toolbar, object list and edit commands on a real window.
#include "MainWindowTestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QMenuBar>

#include "app/windows/LineInfoPanel.h"
#include "app/windows/TransformPanel.h"
#include "app/dialogs/frmPrintPreview.h"
#include "shapes/clsLine.h"

namespace ov::testing {
namespace {

using Captions = std::vector<std::string>;

Captions MenuCaptions(const QMenu* menu) {
    Captions captions;
    for (const QAction* action : menu->actions())
        captions.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    return captions;
}

class MainWindowTest : public MainWindowFixture {};

TEST_F(MainWindowTest, MenusCarryTheirItemsInOrder) {
    Captions bar;
    for (const QAction* action : main->menuBar()->actions()) bar.push_back(action->text().toStdString());
    EXPECT_EQ(bar, (Captions{"&File", "&Edit", "&Object", "&View", "&Window", "&Help"}));

    EXPECT_EQ(MenuCaptions(main->Menu("mnuFile")),
              (Captions{"&New", "&Open...", "&Close", "-", "&Save", "Save &As...", "Save A&ll", "-",
                        "Print Pre&view...", "&Print...", "-", "&Export...", "Export to Corel&DRAW...", "&Import...",
                        "-", "E&xit"}));
    EXPECT_EQ(MenuCaptions(main->Menu("mnuEdit")),
              (Captions{"&Undo", "&Redo", "-", "Cu&t", "&Copy", "&Paste", "-", "Select &All"}));
    EXPECT_EQ(MenuCaptions(main->Menu("mnuObject")),
              (Captions{"&Delete", "D&uplicate", "-", "&Visible", "-", "&Group", "&Ungroup", "Ungroup &All", "-",
                        "Show Selected Only", "Show All Objects", "&Show Vanishing Lines", "-", "&Properties..."}));
    EXPECT_EQ(MenuCaptions(main->Menu("mnuView")),
              (Captions{"&Rulers", "&Grid", "&Axes", "-", "Layout", "-", "Zoom In", "Zoom Out", "-",
                        "&Edit Perspective...", "&Scene Properties...", "Scene &Notes...", "-", "&Reset Eye Point",
                        "-", "&Functions..."}));
    EXPECT_EQ(MenuCaptions(main->Menu("mnuViewLayout")), (Captions{"2x2", "3x1"}));
    EXPECT_EQ(MenuCaptions(main->Menu("mnuWindow")),
              (Captions{"&Cascade", "Tile &Horizontal", "Tile &Vertical", "&Arrange Icons"}));
    EXPECT_EQ(MenuCaptions(main->Menu("mnuHelp")), (Captions{"&On-line Help...", "-", "&About"}));

    // The dialog commands need a scene; Properties needs an ellipse or a function selected.
    for (const char* name : {"mnuFilePrintPreview", "mnuFileExportDraw", "mnuEditPerspective", "mnuViewScene",
                             "mnuViewFncDefs"})
        EXPECT_TRUE(main->MenuAction(name)->isEnabled()) << name;
    EXPECT_FALSE(main->MenuAction("mnuObjectProperties")->isEnabled());
}

TEST_F(MainWindowTest, ToolbarButtonsHaveTheirTipsAndTheToolsAreExclusive) {
    auto* bar = main->findChild<QToolBar*>("tbToolBar");
    ASSERT_NE(bar, nullptr);
    Captions tips;
    for (QAction* action : bar->actions())
        if (!action->isSeparator()) tips.push_back(action->toolTip().toStdString());
    EXPECT_EQ(tips, (Captions{"New", "Open", "Save", "Import Objects", "Print", "Print Preview", "Export to CorelDRAW",
                              "Cut", "Copy", "Paste", "Undo", "Redo", "Pick Tool", "Node Edit Tool", "Line Tool",
                              "Rectangle Tool", "Box Tool", "Ellipse Tool", "Curve Tool",
                              "Insert Parametric Function Object", "Edit Perspective", "Reset Eye Point"}));
    for (QAction* action : bar->actions()) {
        if (!action->isSeparator()) {
            EXPECT_FALSE(action->icon().isNull()) << action->toolTip().toStdString();
        }
    }

    EXPECT_TRUE(main->ToolbarAction("Arrow")->isChecked());
    ClickToolbar("Box");
    EXPECT_EQ(App().CurrentTool, ToolBox);
    EXPECT_TRUE(main->ToolbarAction("Box")->isChecked());
    EXPECT_FALSE(main->ToolbarAction("Arrow")->isChecked());
    ClickToolbar("Bezier");
    EXPECT_EQ(App().CurrentTool, ToolBezier);
    EXPECT_FALSE(main->ToolbarAction("Box")->isChecked());

    // Zoom In hands the mouse to the zoom tool, which has no button of its own.
    Choose("mnuZoomIn");
    EXPECT_EQ(App().CurrentTool, ToolZoom);
    for (const char* key : {"Arrow", "NodeEdit", "Line", "Rectangle", "Box", "Ellipse", "Bezier"})
        EXPECT_FALSE(main->ToolbarAction(key)->isChecked()) << key;
    // The rectangle drawn hands the mouse back to the tool before, and its button shows it.
    ViewPort* port = document->GetViewPort(document->GetActiveIndex());
    QTest::mousePress(port, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseMove(port, QPoint(60, 50));
    QTest::mouseRelease(port, Qt::LeftButton, {}, QPoint(60, 50));
    EXPECT_EQ(App().CurrentTool, ToolBezier);
    EXPECT_TRUE(main->ToolbarAction("Bezier")->isChecked());
    ClickToolbar("Arrow");
    EXPECT_EQ(App().CurrentTool, ToolPick);
    EXPECT_TRUE(main->ToolbarAction("Arrow")->isChecked());

    EXPECT_TRUE(main->ToolbarAction("Function")->isEnabled());
    EXPECT_TRUE(main->ToolbarAction("Perspective")->isEnabled());
    EXPECT_TRUE(main->ToolbarAction("PrintPreview")->isEnabled());
}

TEST_F(MainWindowTest, DialogCommandsOpenTheirDialogsOnTheActiveScene) {
    // Each command shows a modal dialog; it is closed (cancelled) as soon as it is up, and
    // while it is up the scene commands are held off.
    struct Case {
        const char* command;
        const char* title;
    };
    // Print Preview first asks for a printer until one was chosen; cancelling ends it.
    frmPrintPreview::PrinterChosen() = false;
    int setups = 0;
    main->SetUpPrinter = [&](QPrinter&) { return ++setups > 1; };
    Choose("mnuFilePrintPreview");
    EXPECT_EQ(setups, 1);
    const Case cases[] = {{"mnuEditPerspective", "Edit Perspective"},
                          {"mnuViewScene", "Scene Properties"},
                          {"mnuViewFncDefs", "Edit Functions"},
                          {"mnuFilePrintPreview", "Print Preview"},
                          {"mnuFilePrintPreview", "Print Preview"},
                          {"mnuFileExportDraw", "Export to CorelDRAW"}};
    for (const Case& c : cases) {
        QString title;
        bool undoHeldOff = false;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog) return;
            title = dialog->windowTitle();
            undoHeldOff = !main->MenuAction("mnuEditSelectAll")->isEnabled();
            dialog->close();
        });
        Choose(c.command);
        EXPECT_TRUE(title.startsWith(c.title)) << c.command << ": " << title.toStdString();
        EXPECT_TRUE(undoHeldOff) << c.command;
        EXPECT_TRUE(main->MenuAction("mnuEditSelectAll")->isEnabled()) << c.command;
    }
    EXPECT_FALSE(Manager().CanUndo()); // nothing was confirmed
    EXPECT_EQ(setups, 2);

    // Properties is offered for an ellipse.
    auto ellipse = clsTreeManager::CreateNode(clsNode::Ellipse);
    const std::string key = ellipse->Key;
    Manager().AddNode(std::move(ellipse));
    Manager().SelectNodeByKey(key, false);
    main->UpdateUI(true);
    EXPECT_TRUE(main->MenuAction("mnuObjectProperties")->isEnabled());
}

TEST_F(MainWindowTest, UndoAndRedoCaptionsNameTheSteps) {
    QAction* undo = main->MenuAction("mnuEditUndo");
    QAction* redo = main->MenuAction("mnuEditRedo");
    EXPECT_EQ(undo->text(), "&Undo");
    EXPECT_EQ(undo->toolTip(), "Undo");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(redo->text(), "&Redo");
    EXPECT_FALSE(redo->isEnabled());

    ClickNode(HousePart("Door"));
    Choose("mnuObjectDelete");
    EXPECT_EQ(HousePart("Door"), nullptr);
    EXPECT_EQ(undo->text(), "&Undo Delete");
    EXPECT_EQ(undo->toolTip(), "Undo Delete");
    EXPECT_TRUE(undo->isEnabled());

    ClickToolbar("Undo");
    ASSERT_NE(HousePart("Door"), nullptr);
    EXPECT_EQ(undo->text(), "&Undo");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(redo->text(), "&Redo Delete");
    EXPECT_EQ(redo->toolTip(), "Redo Delete");
    ClickToolbar("Redo");
    EXPECT_EQ(HousePart("Door"), nullptr);
    EXPECT_EQ(redo->text(), "&Redo");
}

TEST_F(MainWindowTest, ObjectListShowsTheTreeAndClicksSelect) {
    QTreeWidgetItem* top = Tree().topLevelItem(0);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->text(0), "Document 1");
    EXPECT_EQ(top->childCount(), 1);
    EXPECT_EQ(top->child(0)->text(0), "House");
    EXPECT_EQ(top->child(0)->childCount(), 12);

    clsNode* bottom = HousePart("Bottom");
    ClickNode(bottom);
    EXPECT_TRUE(bottom->Selected);
    QTreeWidgetItem* item = ItemOf(bottom);
    EXPECT_TRUE(item->font(0).bold());
    EXPECT_EQ(item->foreground(0).color(), QColor(255, 0, 0));
    EXPECT_FALSE(main->MenuAction("mnuObjectGroup")->isEnabled());

    // Shift extends the selection among siblings, which can then be grouped.
    clsNode* end1 = HousePart("End 1");
    ClickNode(end1, Qt::ShiftModifier);
    EXPECT_EQ(Manager().GetSelectedCount(), 2);
    EXPECT_TRUE(main->MenuAction("mnuObjectGroup")->isEnabled());
    // A plain click starts over.
    ClickNode(end1);
    EXPECT_EQ(Manager().GetSelectedCount(), 1);
    EXPECT_FALSE(bottom->Selected);
    EXPECT_FALSE(ItemOf(bottom)->font(0).bold());

    // Hiding greys the item; the menu's check mark follows the selection.
    EXPECT_TRUE(main->MenuAction("mnuObjectVisible")->isChecked());
    Choose("mnuObjectVisible");
    EXPECT_TRUE(end1->Hidden);
    EXPECT_FALSE(main->MenuAction("mnuObjectVisible")->isChecked());
    EXPECT_EQ(ItemOf(end1)->foreground(0).color(), Tree().palette().color(QPalette::Disabled, QPalette::Text));

    // Collapsing an item is remembered by its node.
    QTreeWidgetItem* houseItem = ItemOf(House());
    houseItem->setExpanded(true);
    EXPECT_TRUE(House()->Expanded);
    houseItem->setExpanded(false);
    EXPECT_FALSE(House()->Expanded);
}

TEST_F(MainWindowTest, RenameInTheListIsOneUndoStep) {
    clsNode* bar = HousePart("Bar 1");
    ClickNode(bar);
    QTest::keyClick(&Tree(), Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "Eaves");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the editor hands its text over once the key is handled

    EXPECT_EQ(bar->Name, "Eaves");
    EXPECT_EQ(ItemOf(bar)->text(0), "Eaves");
    EXPECT_EQ(Manager().GetUndoString(), "Rename");
    EXPECT_EQ(main->MenuAction("mnuEditUndo")->text(), "&Undo Rename");
    EXPECT_TRUE(Scene().Modified);

    // An empty name shows the default name of the object's kind.
    QTest::keyClick(&Tree(), Qt::Key_F2);
    editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->clear();
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(bar->Name, "");
    EXPECT_EQ(ItemOf(bar)->text(0), "Line");

    const std::string key = bar->Key;
    Choose("mnuEditUndo");
    bar = Manager().FindNode(key);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->Name, "Eaves");
    EXPECT_EQ(ItemOf(bar)->text(0), "Eaves");

    // The document's own item keeps its name here.
    ClickNode(Scene().GetRootNode());
    QTest::keyClick(&Tree(), Qt::Key_F2);
    EXPECT_EQ(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr);
}

TEST_F(MainWindowTest, CopyDeleteAndPasteTwiceGiveTwoIndependentCopies) {
    clsNode* bar = HousePart("Bar 1");
    const std::string originalKey = bar->Key;
    ClickNode(bar);
    EXPECT_FALSE(main->ToolbarAction("Paste")->isEnabled());
    ClickToolbar("Copy");
    EXPECT_TRUE(main->ToolbarAction("Paste")->isEnabled());
    Choose("mnuObjectDelete");
    EXPECT_EQ(HousePart("Bar 1"), nullptr);

    ClickToolbar("Paste");
    clsNode* first = Scene().GetRootNode()->LastChild();
    ASSERT_EQ(first->GetNodeName(), "Bar 1");
    EXPECT_TRUE(first->Selected);
    EXPECT_EQ(Manager().GetUndoString(), "Paste");
    ClickToolbar("Paste");
    clsNode* second = Scene().GetRootNode()->LastChild();
    ASSERT_NE(second, first);
    ASSERT_EQ(second->GetNodeName(), "Bar 1");
    EXPECT_TRUE(second->Selected);
    EXPECT_FALSE(first->Selected);
    EXPECT_NE(first->Key, second->Key);
    EXPECT_NE(first->Key, originalKey);
    ASSERT_NE(ItemOf(first), nullptr);
    ASSERT_NE(ItemOf(second), nullptr);

    // Moving one copy leaves the other where it was.
    second->Translate(5, 0, 0);
    EXPECT_DOUBLE_EQ(first->GetLine()->Segment->StartPoint.x, 0);
    EXPECT_DOUBLE_EQ(second->GetLine()->Segment->StartPoint.x, 5);

    // Cut takes the selection away into the clipboard; the next paste brings it back.
    clsNode* door = HousePart("Door");
    ClickNode(door);
    ClickToolbar("Cut");
    EXPECT_EQ(HousePart("Door"), nullptr);
    EXPECT_EQ(Manager().GetUndoString(), "Cut");
    ClickToolbar("Paste");
    clsNode* pasted = Scene().GetRootNode()->LastChild();
    EXPECT_EQ(pasted->GetNodeName(), "Door");
    EXPECT_EQ(pasted->GetChildCount(), 4);
}

TEST_F(MainWindowTest, CopyingSeveralObjectsPastesThemAllSelected) {
    ClickNode(HousePart("Window 1"));
    ClickNode(HousePart("Window 2"), Qt::ShiftModifier);
    ASSERT_EQ(Manager().GetSelectedCount(), 2);
    Choose("mnuEditCopy");
    const int before = Scene().GetRootNode()->GetChildCount();
    Choose("mnuEditPaste");
    EXPECT_EQ(Scene().GetRootNode()->GetChildCount(), before + 2);
    EXPECT_EQ(Manager().GetSelectedCount(), 2);
    clsNode* last = Scene().GetRootNode()->LastChild();
    EXPECT_EQ(last->GetNodeName(), "Window 2");
    EXPECT_EQ(last->PrevSibling()->GetNodeName(), "Window 1");
    EXPECT_TRUE(last->Selected && last->PrevSibling()->Selected);
}

TEST_F(MainWindowTest, CommandsOfTheObjectMenuReachTheTree) {
    ClickNode(HousePart("Window 3"));
    ClickNode(HousePart("Window 4"), Qt::ShiftModifier);
    Choose("mnuObjectGroup");
    clsNode* group = Manager().GetSelection();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->NodeType, clsNode::Group);
    EXPECT_EQ(group->GetChildCount(), 2);
    EXPECT_EQ(Manager().GetUndoString(), "Group");
    Choose("mnuObjectUngroup");
    EXPECT_EQ(Manager().GetUndoString(), "Ungroup");
    EXPECT_EQ(Manager().GetSelectedCount(), 2);

    Choose("mnuObjectShowSelOnly");
    EXPECT_TRUE(HousePart("Door")->Hidden);
    EXPECT_FALSE(HousePart("Window 3")->Hidden);
    Choose("mnuObjectShowAll");
    EXPECT_FALSE(HousePart("Door")->Hidden);

    ClickNode(HousePart("Roof Ridge"));
    EXPECT_FALSE(main->MenuAction("mnuObjectUngroup")->isEnabled()); // a line holds no group
    EXPECT_FALSE(main->MenuAction("mnuObjectUngroupAll")->isEnabled());
    Choose("mnuObjectDuplicate");
    EXPECT_EQ(Scene().GetRootNode()->LastChild()->GetNodeName(), "Roof Ridge");
    EXPECT_EQ(Manager().GetUndoString(), "Duplicate");

    // Show Vanishing Lines is saved with the object, so it changes the project.
    Scene().OnClean();
    EXPECT_FALSE(main->MenuAction("mnuObjectVanishLines")->isChecked());
    Choose("mnuObjectVanishLines");
    EXPECT_TRUE(Manager().GetSelection()->VanishPointVisible());
    EXPECT_TRUE(main->MenuAction("mnuObjectVanishLines")->isChecked());
    EXPECT_TRUE(Scene().Modified);

    Choose("mnuEditSelectAll");
    EXPECT_TRUE(House()->Selected);
    Manager().ClearSelection();
    EXPECT_FALSE(main->MenuAction("mnuEditCut")->isEnabled());
    EXPECT_FALSE(main->MenuAction("mnuObjectDelete")->isEnabled());
    EXPECT_FALSE(main->MenuAction("mnuObjectVisible")->isChecked());
    EXPECT_FALSE(main->MenuAction("mnuObjectVanishLines")->isChecked());
}

TEST_F(MainWindowTest, ViewTogglesFlipTheSceneSettingsWithCheckMarks) {
    const bool rulers = Scene().ShowRulers, grid = Scene().ShowGrid, axes = Scene().ShowAxes;
    EXPECT_EQ(main->MenuAction("mnuViewGrid")->isChecked(), grid);
    Choose("mnuViewRulers");
    Choose("mnuViewGrid");
    Choose("mnuViewAxes");
    EXPECT_EQ(Scene().ShowRulers, !rulers);
    EXPECT_EQ(Scene().ShowGrid, !grid);
    EXPECT_EQ(Scene().ShowAxes, !axes);
    EXPECT_EQ(main->MenuAction("mnuViewRulers")->isChecked(), !rulers);
    EXPECT_EQ(main->MenuAction("mnuViewGrid")->isChecked(), !grid);
    EXPECT_EQ(main->MenuAction("mnuViewAxes")->isChecked(), !axes);

    Choose("mnuLayout3x1");
    EXPECT_EQ(document->GetLayout(), 1);
    Choose("mnuLayout2x2");
    EXPECT_EQ(document->GetLayout(), 0);

    Choose("mnuViewResetEyePoint");
    EXPECT_EQ(Manager().GetUndoString(), "Reset Eye Point");
    EXPECT_DOUBLE_EQ(Scene().GetPerspective().EyePoint.x, Scene().ViewVolumeMax.x);
}

TEST_F(MainWindowTest, ActivatingADocumentHandsItTheObjectList) {
    frmDocument* second = main->NewDocument();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->windowTitle(), "Document 2");
    EXPECT_EQ(App().ActiveScene, &second->GetScene());
    EXPECT_EQ(Tree().topLevelItem(0)->text(0), "Document 2");
    EXPECT_EQ(second->GetScene().TreeManager.TVControl, &Tree());
    EXPECT_EQ(document->GetScene().TreeManager.TVControl, nullptr);

    main->MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(document->parentWidget()));
    EXPECT_EQ(App().ActiveScene, &document->GetScene());
    EXPECT_EQ(main->ActiveDocument(), document);
    EXPECT_EQ(Tree().topLevelItem(0)->text(0), "Document 1");
    EXPECT_EQ(second->GetScene().TreeManager.TVControl, nullptr);

    // A click in the list now selects in the first document only.
    ClickNode(HousePart("Chimney"));
    EXPECT_TRUE(HousePart("Chimney")->Selected);
    EXPECT_EQ(second->GetScene().GetSelection(), nullptr);
}

} // namespace
} // namespace ov::testing
