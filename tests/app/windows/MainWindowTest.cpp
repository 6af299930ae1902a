// The main window's toolbar, dialog commands, object list, edit commands and the transform and
// line-information panels on a real window.
#include "MainWindowTestSupport.h"

#include <QCheckBox>
#include <QMenu>

#include "app/desktop/RecentFiles.h"
#include "app/dialogs/frmPrintPreview.h"
#include "app/windows/LineInfoPanel.h"
#include "app/windows/TransformPanel.h"
#include "shapes/clsEllipse.h"

namespace ov::testing {
namespace {

class MainWindowTest : public MainWindowFixture {
protected:
    QString Text(const char* name) { return Action(name)->text(); }
    // F2 in the object list (or another widget) and a name typed over the old one, letter by letter.
    void Rename(const char* name, QWidget* from = nullptr) {
        if (from) Key(Qt::Key_F2, Qt::NoModifier, from);
        else QTest::keyClick(&Tree(), Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(editor, Qt::Key_Delete);
        QTest::keyClicks(editor, name);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents(); // the editor hands its text over once the key is handled
    }

    TransformPanel& Panel() { return *main->Transform(); }
    // Values typed into the panel's fields (row, axis, text), then the Apply button when asked.
    void Type(std::initializer_list<std::tuple<int, int, const char*>> fields, bool apply = true) {
        for (auto [row, axis, text] : fields) functiondialogs::Type(Panel().Field(row, axis), text);
        if (apply) QTest::mouseClick(Panel().ApplyButton(), Qt::LeftButton);
    }
    double Shown(int row, int axis) { return ParseNumber(Panel().Field(row, axis)->text().toStdString()); }
    std::string Rows() { return Panel().RowKey(RowPosition) + "/" + Panel().RowKey(RowSize); }
    QString LineInfo() {
        const LineInfoPanel& info = *main->LineStatus();
        return info.PointField(3)->text() + "|" + info.VanishField(0)->text() + "|" + info.VanishField(1)->text();
    }
};

TEST_F(MainWindowTest, ToolButtonsAreExclusiveAndFollowTheToolThroughAZoom) {
    auto pressed = [&](const std::string& expected) { // the pressed buttons, to show one tool at most
        std::string keys;
        for (const char* key : {"Arrow", "NodeEdit", "Line", "Rectangle", "Box", "Ellipse", "Bezier"})
            if (main->ToolbarAction(key)->isChecked()) keys += key;
        return keys == expected;
    };
    EXPECT_TRUE(pressed("Arrow"));
    ClickToolbar("Bezier");
    EXPECT_TRUE(App().CurrentTool == ToolBezier && pressed("Bezier"));
    Choose("mnuZoomIn"); // the zoom tool has no button of its own
    EXPECT_TRUE(App().CurrentTool == ToolZoom && pressed(""));
    // The rectangle drawn hands the mouse back to the tool before, and its button shows it.
    Drag(QPoint(20, 20), QPoint(60, 50), {}, document->GetActiveIndex());
    EXPECT_TRUE(App().CurrentTool == ToolBezier && pressed("Bezier"));
    for (QAction* action : main->findChild<QToolBar*>("tbToolBar")->actions()) // every button has its picture
        EXPECT_TRUE(action->isSeparator() || !action->icon().isNull()) << action->toolTip().toStdString();
    // A letter picks a tool from anywhere in the window, but not while a field takes the text.
    QTest::keyClick(document, Qt::Key_L);
    EXPECT_TRUE(App().CurrentTool == ToolLine && pressed("Line"));
    ClickNode(HousePart("Bar 1"));
    functiondialogs::Type(Panel().Field(RowPosition, 0), "e");
    EXPECT_TRUE(App().CurrentTool == ToolLine && Panel().Field(RowPosition, 0)->text() == "e");
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
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                shown = dialog->windowTitle();
                heldOff = !Enabled("mnuEditSelectAll");
                dialog->close();
            }
        });
        Choose(command);
        EXPECT_TRUE(shown.startsWith(title) && heldOff && Enabled("mnuEditSelectAll")) << command;
    }
    EXPECT_TRUE(setups == 2 && !Manager().CanUndo()); // asked once more; nothing was confirmed
    EXPECT_FALSE(Enabled("mnuObjectProperties")); // offered for an ellipse only
    // A double click in the object list opens the properties of what it selects, if any.
    std::unique_ptr<clsNode> node = clsTreeManager::CreateNode(clsNode::Ellipse);
    node->Object = std::make_unique<clsEllipse>();
    clsNode* ellipse = Manager().AddNode(std::move(node));
    for (clsNode* node : {HousePart("Bottom"), ellipse}) {
        QString shown;
        QTimer::singleShot(0, [&] {
            if (QWidget* dialog = QApplication::activeModalWidget()) shown = dialog->windowTitle(), dialog->close();
        });
        ClickNode(node);
        QTest::mouseDClick(Tree().viewport(), Qt::LeftButton, {}, Tree().visualItemRect(ItemOf(node)).center());
        QCoreApplication::processEvents();
        EXPECT_EQ(shown, node == ellipse ? "Ellipse Properties" : "") << node->Name;
    }
    EXPECT_TRUE(Enabled("mnuObjectProperties"));
}

TEST_F(MainWindowTest, TheObjectListSelectsRenamesAndShowsWhatTheCommandsDid) {
    EXPECT_EQ(Tree().topLevelItem(0)->text(0) + "/" + Tree().topLevelItem(0)->child(0)->text(0), "Document 1/House");
    // A selected node is bold and red and the current item; Shift extends among siblings.
    clsNode *bottom = HousePart("Bottom"), *end1 = HousePart("End 1");
    ClickNode(bottom);
    EXPECT_TRUE(bottom->Selected && ItemOf(bottom)->font(0).bold() && ItemOf(bottom)->foreground(0).color() == Qt::red);
    ClickNode(end1, Qt::ShiftModifier);
    Choose("mnuObjectGroup");
    clsNode* group = Manager().GetSelection();
    EXPECT_TRUE(group->GetChildCount() == 2 && Tree().currentItem() == ItemOf(group));
    // F2 in a view renames the selected node, and the letters typed go to the name, not the tools.
    const std::int32_t tool = App().CurrentTool;
    Rename("Walls", document->GetViewPort(0));
    EXPECT_EQ(group->Name, "Walls");
    EXPECT_EQ(App().CurrentTool, tool);
    Choose("mnuObjectUngroup");
    EXPECT_EQ(Manager().GetSelectedCount(), 2);
    ClickNode(end1 = HousePart("End 1")); // a plain click starts over
    EXPECT_FALSE(bottom->Selected || ItemOf(bottom)->font(0).bold());

    // Hiding greys the item; the menu's check mark follows the selection.
    Choose("mnuObjectVisible");
    EXPECT_TRUE(end1->Hidden && !Checked("mnuObjectVisible"));
    EXPECT_EQ(ItemOf(end1)->foreground(0).color(), Tree().palette().color(QPalette::Disabled, QPalette::Text));
    ItemOf(House())->setExpanded(false); // collapsing is remembered by the node
    EXPECT_FALSE(House()->Expanded);

    // A rename is one undo step; an empty name shows the default name of the kind.
    clsNode* bar = HousePart("Bar 1");
    const std::string key = bar->Key;
    ClickNode(bar);
    Rename("Eaves");
    EXPECT_EQ(ItemOf(bar)->text(0) + "/" + Text("mnuEditUndo") + "/" + Action("mnuEditUndo")->toolTip(),
              "Eaves/&Undo Rename/Undo Rename");
    Rename("");
    EXPECT_TRUE(bar->Name.empty() && ItemOf(bar)->text(0) == "Line");
    ClickToolbar("Undo");
    EXPECT_EQ(ItemOf(Manager().FindNode(key))->text(0), "Eaves");
    EXPECT_EQ(Text("mnuEditRedo") + "/" + Action("mnuEditRedo")->toolTip(), "&Redo Rename/Redo Rename");
    QTest::keyClick(main.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); // Redo as on the desktop
    EXPECT_EQ(ItemOf(Manager().FindNode(key))->text(0), "Line");
    ClickNode(Scene().GetRootNode()); // the document's own item selects everything and stays current
    EXPECT_TRUE(House()->Selected && Tree().currentItem() == ItemOf(Scene().GetRootNode()));
}

TEST_F(MainWindowTest, CopyCutPasteAndTheObjectMenuOnTheSelection) {
    ClickNode(HousePart("Bar 1"));
    EXPECT_FALSE(main->ToolbarAction("Paste")->isEnabled());
    ClickToolbar("Copy");
    Choose("mnuObjectDelete");
    ClickToolbar("Paste");
    clsNode* first = Last();
    ASSERT_TRUE(first->GetNodeName() == "Bar 1" && Manager().GetUndoString() == "Paste");
    ClickToolbar("Paste"); // a second, independent copy, selected alone
    clsNode* second = Last();
    EXPECT_TRUE(second != first && second->Selected && !first->Selected && first->Key != second->Key && ItemOf(first));

    ClickNode(HousePart("Door"));
    ClickToolbar("Cut");
    ASSERT_EQ(HousePart("Door"), nullptr);
    ClickToolbar("Paste");
    EXPECT_TRUE(Last()->GetNodeName() == "Door" && Last()->GetChildCount() == 4);
    ClickNode(HousePart("Window 1"));
    ClickNode(HousePart("Window 2"), Qt::ShiftModifier);
    Choose("mnuEditCopy");
    Choose("mnuEditPaste"); // in their order, both selected
    EXPECT_TRUE(Manager().GetSelectedCount() == 2 && Last()->PrevSibling()->GetNodeName() == "Window 1");
    Choose("mnuObjectShowSelOnly");
    EXPECT_TRUE(HousePart("Window 3")->Hidden && !Last()->Hidden);
    Choose("mnuObjectShowAll");
    EXPECT_TRUE(!HousePart("Window 3")->Hidden && Manager().GetUndoString() == "Show All Objects");

    ClickNode(HousePart("Roof Ridge"));
    EXPECT_FALSE(Enabled("mnuObjectUngroup") || Enabled("mnuObjectUngroupAll")); // a line holds no group
    Scene().OnClean(); // Show Vanishing Lines is saved with the object: it changes the project
    Choose("mnuObjectVanishLines");
    EXPECT_TRUE(Manager().GetSelection()->VanishPointVisible() && Checked("mnuObjectVanishLines") && Scene().Modified);
    Choose("mnuEditSelectAll");
    EXPECT_TRUE(House()->Selected);
    Manager().ClearSelection();
    EXPECT_FALSE(Enabled("mnuEditCut") || Enabled("mnuObjectDelete") || Checked("mnuObjectVanishLines"));
}

TEST_F(MainWindowTest, ViewTogglesLayoutsAndTheObjectListFollowTheActiveDocument) {
    for (auto [command, shown] : {std::pair{"mnuViewRulers", &clsScene::ShowRulers},
                                  {"mnuViewGrid", &clsScene::ShowGrid}, {"mnuViewAxes", &clsScene::ShowAxes}}) {
        const bool before = Scene().*shown;
        EXPECT_TRUE((Choose(command), Scene().*shown != before && Checked(command) == Scene().*shown)) << command;
    }
    for (auto [command, layout] : {std::pair{"mnuLayout3x1", 1}, {"mnuLayout2x2", 0}})
        EXPECT_EQ((Choose(command), document->GetLayout()), layout) << command;
    Choose("mnuViewResetEyePoint");
    EXPECT_EQ(Text("mnuEditUndo"), "&Undo Reset Eye Point");

    frmDocument* second = main->NewDocument();
    EXPECT_TRUE(second->windowTitle() == "Document 2" && Tree().topLevelItem(0)->text(0) == "Document 2" &&
                document->GetScene().TreeManager.TVControl == nullptr);
    main->MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(document->parentWidget()));
    EXPECT_TRUE(App().ActiveScene == &document->GetScene() && Tree().topLevelItem(0)->text(0) == "Document 1" &&
                second->GetScene().TreeManager.TVControl == nullptr);
    ClickNode(HousePart("Chimney")); // selects in the first document only
    EXPECT_TRUE(HousePart("Chimney")->Selected && second->GetScene().GetSelection() == nullptr);
    // Ctrl+W closes the active document from inside one of its views.
    main->MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(second->parentWidget()));
    Key(Qt::Key_W, Qt::ControlModifier, second->GetViewPort(0));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(DocumentCount(), 1);
    EXPECT_EQ(main->ActiveDocument(), document);
}

TEST_F(MainWindowTest, AProjectOpensOnceAndTheRecentAndWindowMenusFollowTheSession) {
    RecentFiles::Clear();
    const std::string a = TempPath("a.ovp"), b = TempPath("b.ovp");
    ASSERT_TRUE(clsScene().SaveScene(a) && clsScene().SaveScene(b));
    frmDocument* first = main->OpenProject(a);
    ASSERT_TRUE(first && main->OpenProject(b));
    // The same file under another spelling brings its window forward instead of a second copy.
    EXPECT_EQ(main->OpenProject(TempPath("./a.ovp")), first);
    EXPECT_TRUE(DocumentCount() == 3 && main->ActiveDocument() == first);
    const auto entries = [&](const char* menu) {
        emit main->Menu(menu)->aboutToShow();
        QStringList shown;
        for (QAction* action : main->Menu(menu)->actions())
            if (!action->isSeparator()) shown << action->text() + (action->isChecked() ? "*" : "") + (action->isEnabled() ? "" : "-");
        return shown.join('|');
    };
    EXPECT_EQ(entries("mnuWindow"), "&Cascade|Tile &Horizontal|Tile &Vertical|&Arrange Icons|&1 Document 1|&2 a.ovp*|&3 b.ovp");
    EXPECT_EQ(Action("mnuFileSaveAs")->shortcut(), QKeySequence("Ctrl+Shift+S"));
    main->Menu("mnuWindow")->actions().last()->trigger();
    EXPECT_EQ(main->ActiveDocument()->GetScene().FileName, b);
    // Newest first; a project that went away is shown but cannot be chosen.
    QFile::remove(QString::fromStdString(b));
    EXPECT_EQ(entries("mnuFileRecent"), "&1 b.ovp-|&2 a.ovp|&Clear List");
    main->Menu("mnuFileRecent")->actions().last()->trigger();
    EXPECT_EQ(entries("mnuFileRecent"), "No Recent Projects-|&Clear List-");
}

TEST_F(MainWindowTest, ADamagedProjectOpensWhatCouldBeReadUnsavedWhenTheAnswerIsYes) {
    const std::string path = TempPath("damaged.ovp");
    ASSERT_TRUE(clsScene().SaveScene(path));
    QByteArray text = FileBytes(path);
    text.remove(text.indexOf("\r\n}\r\nPerspective = {"), 3); // the brace that closes the tree
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(text), text.size());
    file.close();
    prompt.Answers = {PromptAnswer::No};
    EXPECT_EQ(main->OpenProject(path), nullptr);
    EXPECT_EQ(prompt.LastText(), "The project '" + path + "' is damaged: line 1,098: '}' expected to close the record "
                                 "'Tree' begun at line 2.\rOpen what could be read?");
    EXPECT_EQ(prompt.Messages.back().Buttons, PromptButtons::YesNo);
    prompt.Answers = {PromptAnswer::Yes};
    frmDocument* opened = main->OpenProject(path);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->windowTitle().toStdString(), "damaged.ovp *");
    EXPECT_EQ(opened->GetScene().GetRootNode()->FirstChild()->GetChildCount(), 12);
    // Saving asks for a name; cancelled, the damaged file stays as it was.
    files.Answers = {""};
    Choose("mnuFileSave");
    EXPECT_EQ(files.Calls.back().Title, "Save Project As");
    EXPECT_EQ(FileBytes(path), text);
}

TEST_F(MainWindowTest, TransformAndLineInformationPanelsShowAndTakeTheValuesOfTheNodeShown) {
    EXPECT_TRUE(!Panel().isEnabled() && LineInfo() == "||");
    clsNode* bar = HousePart("Bar 1"); // (0,0,3)-(0,10,3): a line shows and takes its ends
    ClickNode(bar);
    ASSERT_EQ(Rows(), "Point1/Point2");
    EXPECT_EQ(LineInfo().split("|").indexOf(""), -1) << LineInfo().toStdString(); // along y: meets the horizon
    Type({{RowSize, 2, "5"}, {RowPosition, 0, "1,5"}}); // a comma reads as the decimal point
    Type({}); // again without typing: nothing changes
    ExpectEnds(bar, {1.5, 0, 3}, {0, 10, 5});
    EXPECT_EQ(Manager().GetUndoString(), "Transform");
    clsPoint3D across, up, back; // a line along the picture's horizontal never meets the horizon
    Scene().GetPerspective().GetBaseVectors(across, up, back);
    ClickNode(Manager().AddNode(Manager().CreateLineNode(1, 1, 1, 1 + across.x, 1 + across.y, 1 + across.z, "P")));
    EXPECT_TRUE(LineInfo().endsWith("|N/A|N/A"));

    clsNode* bottom = HousePart("Bottom"); // 8 x 10 x 0 around (4, 5, 0)
    ClickNode(bottom);
    const std::string rows = Rows();
    EXPECT_EQ(LineInfo(), "||"); // anything but a single line leaves it empty
    main->UpdateStatusBarForNode(bar, bottom); // a line shown meanwhile, as during a drag
    EXPECT_EQ(rows + " " + Rows(), "Position/Size Point1/Point2");
    main->UpdateStatusBarForNode(bottom, bottom);
    // No height to stretch; Delete in a field edits the field, not the tree.
    Type({{RowSize, 0, "16"}, {RowSize, 2, "3"}, {RowPosition, 1, "7"}}, false);
    ASSERT_EQ(HousePart("Bottom"), bottom);
    for (int i = 0; i < 2; ++i) Type({{RowRotation, 2, "90"}}); // the same rotation again turns nothing
    ExpectPoint(bottom->GetSize(), {10, 16, 0});
    ExpectPoint(bottom->GetCenterPosition(), {4, 7, 0});

    // Relative: a move and a stretch in per cent of the selection unmoved, where 0 % is no stretch
    // rather than a collapse; turns add up.
    QTest::mouseClick(Panel().RelativeBox(), Qt::LeftButton, {}, QPoint(6, Panel().RelativeBox()->height() / 2));
    std::unique_ptr<clsNode> dragged = bottom->Duplicate();
    dragged->Stretch(2, 1, 1, nullptr);
    main->UpdateStatusBarForNode(dragged.get(), bottom); // no height to compare with: 100 %
    EXPECT_TRUE(Rows() == "Move/Stretch" && Shown(RowSize, 0) == 200 && Shown(RowSize, 2) == 100) << Rows();
    main->UpdateStatusBarForNode(bottom, bottom);
    Type({{RowPosition, 0, "2"}, {RowSize, 1, "50"}, {RowSize, 0, "0"}, {RowRotation, 2, "45"}});
    EXPECT_DOUBLE_EQ(Shown(RowPosition, 0), 0); // refilled: measured against itself again
    Type({{RowRotation, 2, "45"}});
    EXPECT_DOUBLE_EQ(bottom->RotateZ, 180);
    ExpectPoint(bottom->GetCenterPosition(), {6, 7, 0});
    ExpectPoint(bottom->GetSize(), {8, 10, 0});
}

} // namespace
} // namespace ov::testing
