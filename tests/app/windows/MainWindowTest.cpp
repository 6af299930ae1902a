// The main window's menus, toolbar, object list, edit commands and the transform and
// line-information panels on a real window.
#include "MainWindowTestSupport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include "app/windows/LineInfoPanel.h"
#include "app/windows/TransformPanel.h"
#include "app/dialogs/frmPrintPreview.h"

namespace ov::testing {
namespace {

using Captions = std::vector<std::string>;

Captions CaptionsOf(const QList<QAction*>& actions, bool tips = false) {
    Captions captions;
    for (const QAction* a : actions)
        if (!tips || !a->isSeparator())
            captions.push_back(a->isSeparator() ? "-" : (tips ? a->toolTip() : a->text()).toStdString());
    return captions;
}

void ExpectPoint(const clsPoint3D& p, double x, double y, double z) {
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
    EXPECT_NEAR(p.z, z, 1e-9);
}

class MainWindowTest : public MainWindowFixture {
protected:
    QString Text(const char* menuAction) { return main->MenuAction(menuAction)->text(); }
    bool Enabled(const char* menuAction) { return main->MenuAction(menuAction)->isEnabled(); }
    bool Checked(const char* menuAction) { return main->MenuAction(menuAction)->isChecked(); }
    // F2 in the object list and a name typed over the old one.
    void Rename(const char* name) {
        QTest::keyClick(&Tree(), Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        editor->del();
        QTest::keyClicks(editor, name);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents(); // the editor hands its text over once the key is handled
    }

    TransformPanel& Panel() { return *main->Transform(); }
    void Type(int row, int axis, const char* text) {
        QLineEdit* field = Panel().Field(row, axis);
        QTest::mouseClick(field, Qt::LeftButton);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
    }
    void Apply() { QTest::mouseClick(Panel().ApplyButton(), Qt::LeftButton); }
    double Shown(int row, int axis) { return ParseNumber(Panel().Field(row, axis)->text().toStdString()); }
    double Number(QLineEdit* field) { return ParseNumber(field->text().toStdString()); }
};

TEST_F(MainWindowTest, MenusAndToolbarCarryTheirCaptionsAndTips) {
    const Captions menuBar{"&File", "&Edit", "&Object", "&View", "&Window", "&Help"};
    EXPECT_EQ(CaptionsOf(main->menuBar()->actions()), menuBar);
    const std::pair<const char*, Captions> menus[] = {
        {"mnuFile",
         {"&New", "&Open...", "&Close", "-", "&Save", "Save &As...", "Save A&ll", "-", "Print Pre&view...", "&Print...",
          "-", "&Export...", "Export to Corel&DRAW...", "&Import...", "-", "E&xit"}},
        {"mnuEdit", {"&Undo", "&Redo", "-", "Cu&t", "&Copy", "&Paste", "-", "Select &All"}},
        {"mnuObject",
         {"&Delete", "D&uplicate", "-", "&Visible", "-", "&Group", "&Ungroup", "Ungroup &All", "-",
          "Show Selected Only", "Show All Objects", "&Show Vanishing Lines", "-", "&Properties..."}},
        {"mnuView",
         {"&Rulers", "&Grid", "&Axes", "-", "Layout", "-", "Zoom In", "Zoom Out", "-", "&Edit Perspective...",
          "&Scene Properties...", "Scene &Notes...", "-", "&Reset Eye Point", "-", "&Functions..."}},
        {"mnuViewLayout", {"2x2", "3x1"}},
        {"mnuWindow", {"&Cascade", "Tile &Horizontal", "Tile &Vertical", "&Arrange Icons"}},
        {"mnuHelp", {"&On-line Help...", "-", "&About"}}};
    for (const auto& [menu, captions] : menus) EXPECT_EQ(CaptionsOf(main->Menu(menu)->actions()), captions) << menu;

    auto* bar = main->findChild<QToolBar*>("tbToolBar");
    EXPECT_EQ(CaptionsOf(bar->actions(), true),
              (Captions{"New", "Open", "Save", "Import Objects", "Print", "Print Preview", "Export to CorelDRAW", "Cut",
                        "Copy", "Paste", "Undo", "Redo", "Pick Tool", "Node Edit Tool", "Line Tool", "Rectangle Tool",
                        "Box Tool", "Ellipse Tool", "Curve Tool", "Insert Parametric Function Object",
                        "Edit Perspective", "Reset Eye Point"}));
    for (QAction* action : bar->actions())
        EXPECT_TRUE(action->isSeparator() || !action->icon().isNull()) << action->toolTip().toStdString();
}

TEST_F(MainWindowTest, ToolButtonsAreExclusiveAndFollowTheToolThroughAZoom) {
    EXPECT_TRUE(main->ToolbarAction("Arrow")->isChecked());
    ClickToolbar("Box");
    EXPECT_EQ(App().CurrentTool, ToolBox);
    EXPECT_FALSE(main->ToolbarAction("Arrow")->isChecked());
    ClickToolbar("Bezier");
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
}

TEST_F(MainWindowTest, DialogCommandsOpenTheirDialogsOnTheActiveSceneWithTheSceneHeldOff) {
    // Print Preview first asks for a printer until one was chosen; cancelling ends it.
    frmPrintPreview::PrinterChosen() = false;
    int setups = 0;
    main->SetUpPrinter = [&](QPrinter&) { return ++setups > 1; };
    Choose("mnuFilePrintPreview");
    EXPECT_EQ(setups, 1);
    const std::pair<const char*, const char*> cases[] = {
        {"mnuEditPerspective", "Edit Perspective"}, {"mnuViewScene", "Scene Properties"},
        {"mnuViewFncDefs", "Edit Functions"},       {"mnuFilePrintPreview", "Print Preview"},
        {"mnuFilePrintPreview", "Print Preview"},   {"mnuFileExportDraw", "Export to CorelDRAW"}};
    for (const auto& [command, title] : cases) {
        QString shown;
        bool heldOff = false;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog) return;
            shown = dialog->windowTitle();
            heldOff = !Enabled("mnuEditSelectAll");
            dialog->close();
        });
        Choose(command);
        EXPECT_TRUE(shown.startsWith(title) && heldOff) << command << ": " << shown.toStdString();
        EXPECT_TRUE(Enabled("mnuEditSelectAll")) << command;
    }
    EXPECT_FALSE(Manager().CanUndo()); // nothing was confirmed
    EXPECT_EQ(setups, 2);

    // Properties is offered for an ellipse only.
    EXPECT_FALSE(Enabled("mnuObjectProperties"));
    auto ellipse = clsTreeManager::CreateNode(clsNode::Ellipse);
    const std::string key = ellipse->Key;
    Manager().AddNode(std::move(ellipse));
    Manager().SelectNodeByKey(key, false);
    main->UpdateUI(true);
    EXPECT_TRUE(Enabled("mnuObjectProperties"));
}

TEST_F(MainWindowTest, TheObjectListSelectsRenamesAndShowsWhatTheCommandsDid) {
    EXPECT_EQ(Tree().topLevelItem(0)->text(0), "Document 1");
    EXPECT_EQ(Tree().topLevelItem(0)->child(0)->text(0), "House");
    EXPECT_FALSE(Enabled("mnuEditUndo"));

    // A selected node is bold and red and the current item; Shift extends among siblings.
    clsNode* bottom = HousePart("Bottom");
    ClickNode(bottom);
    EXPECT_TRUE(bottom->Selected && ItemOf(bottom)->font(0).bold());
    EXPECT_EQ(ItemOf(bottom)->foreground(0).color(), QColor(255, 0, 0));
    EXPECT_FALSE(Enabled("mnuObjectGroup"));
    ClickNode(HousePart("End 1"), Qt::ShiftModifier);
    EXPECT_EQ(Manager().GetSelectedCount(), 2);
    Choose("mnuObjectGroup");
    clsNode* group = Manager().GetSelection();
    ASSERT_EQ(group->GetChildCount(), 2);
    EXPECT_EQ(Tree().currentItem(), ItemOf(group));
    EXPECT_EQ(Text("mnuEditUndo"), "&Undo Group");
    Choose("mnuObjectUngroup");
    EXPECT_EQ(Manager().GetSelectedCount(), 2);
    clsNode* end1 = HousePart("End 1");
    ClickNode(end1); // a plain click starts over
    EXPECT_FALSE(bottom->Selected || ItemOf(bottom)->font(0).bold());

    // Hiding greys the item; the menu's check mark follows the selection.
    EXPECT_TRUE(Checked("mnuObjectVisible"));
    Choose("mnuObjectVisible");
    EXPECT_TRUE(end1->Hidden);
    EXPECT_FALSE(Checked("mnuObjectVisible"));
    EXPECT_EQ(ItemOf(end1)->foreground(0).color(), Tree().palette().color(QPalette::Disabled, QPalette::Text));
    ItemOf(House())->setExpanded(false); // collapsing is remembered by the node
    EXPECT_FALSE(House()->Expanded);

    // A rename is one undo step; an empty name shows the default name of the kind.
    clsNode* bar = HousePart("Bar 1");
    const std::string key = bar->Key;
    ClickNode(bar);
    Rename("Eaves");
    EXPECT_EQ(ItemOf(bar)->text(0), "Eaves");
    EXPECT_EQ(Text("mnuEditUndo"), "&Undo Rename");
    EXPECT_EQ(main->MenuAction("mnuEditUndo")->toolTip(), "Undo Rename");
    Rename("");
    EXPECT_EQ(bar->Name, "");
    EXPECT_EQ(ItemOf(bar)->text(0), "Line");
    ClickToolbar("Undo");
    EXPECT_EQ(ItemOf(Manager().FindNode(key))->text(0), "Eaves");
    EXPECT_EQ(Text("mnuEditRedo"), "&Redo Rename");
    EXPECT_EQ(main->MenuAction("mnuEditRedo")->toolTip(), "Redo Rename");
    ClickToolbar("Redo");
    EXPECT_EQ(ItemOf(Manager().FindNode(key))->text(0), "Line");
    ClickNode(Scene().GetRootNode()); // the document's own item keeps its name here
    QTest::keyClick(&Tree(), Qt::Key_F2);
    EXPECT_EQ(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr);
}

TEST_F(MainWindowTest, CopyCutPasteAndTheObjectMenuOnTheSelection) {
    clsNode* bar = HousePart("Bar 1");
    ClickNode(bar);
    EXPECT_FALSE(main->ToolbarAction("Paste")->isEnabled());
    ClickToolbar("Copy");
    Choose("mnuObjectDelete");
    ClickToolbar("Paste");
    clsNode* first = Last();
    ASSERT_EQ(first->GetNodeName(), "Bar 1");
    EXPECT_EQ(Manager().GetUndoString(), "Paste");
    ClickToolbar("Paste");
    clsNode* second = Last();
    ASSERT_NE(second, first);
    EXPECT_TRUE(second->Selected && !first->Selected);
    EXPECT_TRUE(first->Key != second->Key && ItemOf(first) && ItemOf(second));
    second->Translate(5, 0, 0); // the copies are independent
    EXPECT_DOUBLE_EQ(first->GetLine()->Segment->StartPoint.x, 0);

    ClickNode(HousePart("Door"));
    ClickToolbar("Cut");
    EXPECT_EQ(HousePart("Door"), nullptr);
    ClickToolbar("Paste");
    EXPECT_EQ(Last()->GetNodeName(), "Door");
    EXPECT_EQ(Last()->GetChildCount(), 4);

    ClickNode(HousePart("Window 1"));
    ClickNode(HousePart("Window 2"), Qt::ShiftModifier);
    Choose("mnuEditCopy");
    Choose("mnuEditPaste");
    EXPECT_EQ(Manager().GetSelectedCount(), 2);
    EXPECT_TRUE(Last()->GetNodeName() == "Window 2" && Last()->PrevSibling()->GetNodeName() == "Window 1");
    Choose("mnuObjectShowSelOnly");
    EXPECT_TRUE(HousePart("Window 3")->Hidden);
    EXPECT_FALSE(Last()->Hidden);
    Choose("mnuObjectShowAll");
    EXPECT_FALSE(HousePart("Window 3")->Hidden);

    ClickNode(HousePart("Roof Ridge"));
    EXPECT_FALSE(Enabled("mnuObjectUngroup") || Enabled("mnuObjectUngroupAll")); // a line holds no group
    Choose("mnuObjectDuplicate");
    EXPECT_EQ(Last()->GetNodeName(), "Roof Ridge");
    EXPECT_EQ(Manager().GetUndoString(), "Duplicate");
    Scene().OnClean(); // Show Vanishing Lines is saved with the object: it changes the project
    Choose("mnuObjectVanishLines");
    EXPECT_TRUE(Manager().GetSelection()->VanishPointVisible() && Checked("mnuObjectVanishLines"));
    EXPECT_TRUE(Scene().Modified);
    Choose("mnuEditSelectAll");
    EXPECT_TRUE(House()->Selected);
    Manager().ClearSelection();
    for (const char* command : {"mnuEditCut", "mnuObjectDelete"}) EXPECT_FALSE(Enabled(command)) << command;
    EXPECT_FALSE(Checked("mnuObjectVisible") || Checked("mnuObjectVanishLines"));
}

TEST_F(MainWindowTest, ViewTogglesLayoutsAndTheObjectListFollowTheActiveDocument) {
    for (const char* command : {"mnuViewRulers", "mnuViewGrid", "mnuViewAxes"}) {
        const bool before = Checked(command);
        Choose(command);
        EXPECT_NE(Checked(command), before) << command;
    }
    EXPECT_EQ(Checked("mnuViewRulers"), Scene().ShowRulers);
    EXPECT_EQ(Checked("mnuViewGrid"), Scene().ShowGrid);
    EXPECT_EQ(Checked("mnuViewAxes"), Scene().ShowAxes);
    Choose("mnuLayout3x1");
    EXPECT_EQ(document->GetLayout(), 1);
    Choose("mnuLayout2x2");
    EXPECT_EQ(document->GetLayout(), 0);
    Choose("mnuViewResetEyePoint");
    EXPECT_EQ(Text("mnuEditUndo"), "&Undo Reset Eye Point");
    EXPECT_DOUBLE_EQ(Scene().GetPerspective().EyePoint.x, Scene().ViewVolumeMax.x);

    frmDocument* second = main->NewDocument();
    EXPECT_EQ(second->windowTitle(), "Document 2");
    EXPECT_EQ(Tree().topLevelItem(0)->text(0), "Document 2");
    EXPECT_EQ(document->GetScene().TreeManager.TVControl, nullptr);
    main->MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(document->parentWidget()));
    EXPECT_EQ(App().ActiveScene, &document->GetScene());
    EXPECT_EQ(Tree().topLevelItem(0)->text(0), "Document 1");
    EXPECT_EQ(second->GetScene().TreeManager.TVControl, nullptr);
    ClickNode(HousePart("Chimney")); // selects in the first document only
    EXPECT_TRUE(HousePart("Chimney")->Selected);
    EXPECT_EQ(second->GetScene().GetSelection(), nullptr);
}

TEST_F(MainWindowTest, TransformPanelAppliesTypedValuesInRowsLabelledForTheNodeShown) {
    auto rows = [&] { return Panel().RowKey(RowPosition) + "/" + Panel().RowKey(RowSize); };
    EXPECT_FALSE(Panel().isEnabled());
    clsNode* bar = HousePart("Bar 1"); // (0,0,3)-(0,10,3): a line shows and takes its ends
    ClickNode(bar);
    EXPECT_EQ(rows(), "Point1/Point2");
    Type(RowSize, 2, "5");
    Type(RowPosition, 0, "1,5"); // a comma reads as the decimal point
    Apply();
    Apply(); // again without typing: nothing changes
    ExpectPoint(bar->GetLine()->Segment->StartPoint, 1.5, 0, 3);
    ExpectPoint(bar->GetLine()->Segment->EndPoint, 0, 10, 5);
    EXPECT_EQ(Manager().GetUndoString(), "Transform");

    clsNode* bottom = HousePart("Bottom"); // 8 x 10 x 0 around (4, 5, 0)
    ClickNode(bottom);
    EXPECT_EQ(rows(), "Position/Size");
    main->UpdateStatusBarForNode(bar, bottom); // a line shown meanwhile, as during a drag
    EXPECT_EQ(rows(), "Point1/Point2");
    main->UpdateStatusBarForNode(bottom, bottom);
    Type(RowSize, 0, "16");
    Type(RowSize, 2, "3"); // no height to stretch
    Type(RowPosition, 1, "7");
    QTest::keyClick(Panel().Field(RowPosition, 1), Qt::Key_Delete); // edits the field, not the tree
    ASSERT_EQ(HousePart("Bottom"), bottom);
    for (int i = 0; i < 2; ++i) { // the same rotation again turns nothing
        Type(RowRotation, 2, "90");
        Apply();
    }
    ExpectPoint(bottom->GetSize(), 10, 16, 0);
    ExpectPoint(bottom->GetCenterPosition(), 4, 7, 0);

    // Relative: a move and a stretch in per cent of the selection unmoved; turns add up.
    QTest::mouseClick(Panel().RelativeBox(), Qt::LeftButton, {}, QPoint(6, Panel().RelativeBox()->height() / 2));
    EXPECT_EQ(rows(), "Move/Stretch");
    std::unique_ptr<clsNode> dragged = bottom->Duplicate();
    dragged->Translate(1, 2, 0);
    dragged->Stretch(2, 1, 1, nullptr);
    main->UpdateStatusBarForNode(dragged.get(), bottom);
    const double moved = dragged->GetCenterPosition().x - 4;
    EXPECT_EQ(std::vector<double>({Shown(RowPosition, 0), Shown(RowPosition, 1), Shown(RowSize, 0), Shown(RowSize, 2)}),
              std::vector<double>({moved, 2, 200, 100})); // no height to compare with: 100
    main->UpdateStatusBarForNode(bottom, bottom);
    Type(RowPosition, 0, "2");
    Type(RowSize, 1, "50");
    Type(RowSize, 0, "0"); // no stretch at all rather than a collapse
    Type(RowRotation, 2, "45");
    Apply();
    EXPECT_DOUBLE_EQ(Shown(RowPosition, 0), 0); // refilled: measured against itself again
    Type(RowRotation, 2, "45");
    Apply();
    EXPECT_DOUBLE_EQ(bottom->RotateZ, 180);
    ExpectPoint(bottom->GetCenterPosition(), 6, 7, 0);
    ExpectPoint(bottom->GetSize(), 8, 10, 0);
    clsNode* ridge = HousePart("Roof Ridge"); // (4,10,6)-(4,0,6)
    ClickNode(ridge);
    Type(RowSize, 1, "200");
    Apply();
    ExpectPoint(ridge->GetLine()->Segment->StartPoint, 4, 15, 6);
}

TEST_F(MainWindowTest, LineInformationShowsTheVanishingPointOfASingleLine) {
    LineInfoPanel& info = *main->LineStatus();
    const clsPerspective& camera = Scene().GetPerspective();
    ClickNode(HousePart("Bar 1"));
    clsPoint3D far = HousePart("Bar 1")->GetLine()->Segment->GetVector(); // where the line's far end lands
    far.Multiply(1e6);
    far.Add(HousePart("Bar 1")->GetLine()->Segment->StartPoint);
    double u = 0, v = 0;
    camera.ConvertPoint(far, u, v);
    EXPECT_NEAR(Number(info.VanishField(0)), u, 1e-3);
    EXPECT_NEAR(Number(info.VanishField(1)), v, 1e-3);
    EXPECT_FALSE(info.PointField(3)->text().isEmpty());
    clsPoint3D across, up, back; // a line along the picture's horizontal never meets the horizon
    camera.GetBaseVectors(across, up, back);
    ClickNode(Manager().AddNode(Manager().CreateLineNode(1, 1, 1, 1 + across.x, 1 + across.y, 1 + across.z, "P")));
    EXPECT_EQ(info.VanishField(0)->text() + info.VanishField(1)->text(), "N/AN/A");
    ClickNode(House()); // anything but a single line leaves the panel empty
    EXPECT_TRUE(info.PointField(0)->text().isEmpty() && info.VanishField(0)->text().isEmpty());
}

} // namespace
} // namespace ov::testing
