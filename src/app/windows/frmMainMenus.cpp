// Building the main window: menus, toolbar, the object list and the status area's panels.
#include "app/windows/frmMain.h"

#include <QActionGroup>
#include <QDockWidget>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QLayout>
#include <QToolBar>

#include "app/desktop/RecentFiles.h"
#include "app/windows/AppIcons.h"
#include "app/windows/LineInfoPanel.h"
#include "app/windows/StatusFields.h"
#include "app/windows/TransformPanel.h"
#include "app/windows/TreeWidgetView.h"
#include "app/windows/frmDocument.h"
#include "scene/AppState.h"

namespace ov {

QAction* frmMain::AddMenuItem(QMenu* menu, const char* name, const QString& caption, void (frmMain::*command)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    if (command)
        connect(action, &QAction::triggered, this, [this, command, caption] {
            // A shortcut can arrive with a mouse button down: the drag ends as Escape would end
            // it before the command changes what the drag holds (an undo replaces the tree).
            CancelDrags();
            RunCommand(command, caption);
        });
    menuActions_[name] = action;
    return action;
}

QAction* frmMain::AddToolButton(const QString& key, const QString& tip, QAction* shared) {
    QAction* action = shared ? shared : new QAction(this);
    action->setIcon(ToolbarIcon(key));
    action->setToolTip(tip);
    action->setIconVisibleInMenu(false);
    toolbarActions_[key] = action;
    return action;
}

void frmMain::CreateMenus() {
    QMenuBar* bar = menuBar();
    auto addMenu = [&](const char* name, const QString& caption) {
        QMenu* menu = bar->addMenu(caption);
        menu->setObjectName(name);
        menus_[name] = menu;
        return menu;
    };

    QMenu* file = addMenu("mnuFile", "&File");
    AddMenuItem(file, "mnuFileNew", "&New", &frmMain::OnFileNew)->setShortcut(QKeySequence::New);
    AddMenuItem(file, "mnuFileOpen", "&Open...", &frmMain::OnFileOpen)->setShortcut(QKeySequence::Open);
    QMenu* recent = file->addMenu("Open &Recent");
    recent->setObjectName("mnuFileRecent");
    menus_["mnuFileRecent"] = recent;
    connect(recent, &QMenu::aboutToShow, this, &frmMain::FillRecentMenu);
    AddMenuItem(file, "mnuFileClose", "&Close", &frmMain::OnFileClose)->setShortcuts(QKeySequence::Close);
    file->addSeparator();
    AddMenuItem(file, "mnuFileSave", "&Save", &frmMain::OnFileSave)->setShortcut(QKeySequence::Save);
    // Not every desktop's key scheme has Save As; Ctrl+Shift+S is what users of the others expect.
    QList<QKeySequence> saveAs = QKeySequence::keyBindings(QKeySequence::SaveAs);
    if (saveAs.isEmpty()) saveAs.append(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    AddMenuItem(file, "mnuFileSaveAs", "Save &As...", &frmMain::OnFileSaveAs)->setShortcuts(saveAs);
    AddMenuItem(file, "mnuFileSaveAll", "Save A&ll", &frmMain::OnFileSaveAll);
    file->addSeparator();
    AddMenuItem(file, "mnuFilePrintPreview", "Print Pre&view...", &frmMain::OnFilePrintPreview);
    AddMenuItem(file, "mnuFilePrint", "&Print...", &frmMain::OnFilePrint)->setShortcut(QKeySequence::Print);
    file->addSeparator();
    AddMenuItem(file, "mnuFileExport", "&Export...", &frmMain::OnFileExport);
    AddMenuItem(file, "mnuFileExportDraw", "Export to Corel&DRAW...", &frmMain::OnFileExportDraw);
    AddMenuItem(file, "mnuFileImport", "&Import...", &frmMain::OnFileImport);
    file->addSeparator();
    AddMenuItem(file, "mnuFileExit", "E&xit", &frmMain::OnFileExit)->setShortcuts(QKeySequence::Quit);

    QMenu* edit = addMenu("mnuEdit", "&Edit");
    AddMenuItem(edit, "mnuEditUndo", "&Undo", &frmMain::OnEditUndo)->setShortcut(QKeySequence::Undo);
    // Ctrl+Y first, then the desktop's own Redo (Ctrl+Shift+Z).
    QList<QKeySequence> redo{QKeySequence(Qt::CTRL | Qt::Key_Y)};
    for (const QKeySequence& key : QKeySequence::keyBindings(QKeySequence::Redo))
        if (!redo.contains(key)) redo.append(key);
    AddMenuItem(edit, "mnuEditRedo", "&Redo", &frmMain::OnEditRedo)->setShortcuts(redo);
    edit->addSeparator();
    AddMenuItem(edit, "mnuEditCut", "Cu&t", &frmMain::OnEditCut)->setShortcut(QKeySequence::Cut);
    AddMenuItem(edit, "mnuEditCopy", "&Copy", &frmMain::OnEditCopy)->setShortcut(QKeySequence::Copy);
    AddMenuItem(edit, "mnuEditPaste", "&Paste", &frmMain::OnEditPaste)->setShortcut(QKeySequence::Paste);
    edit->addSeparator();
    AddMenuItem(edit, "mnuEditSelectAll", "Select &All", &frmMain::OnEditSelectAll)
        ->setShortcut(QKeySequence::SelectAll);

    QMenu* object = addMenu("mnuObject", "&Object");
    AddMenuItem(object, "mnuObjectDelete", "&Delete", &frmMain::OnObjectDelete)->setShortcut(QKeySequence::Delete);
    AddMenuItem(object, "mnuObjectDuplicate", "D&uplicate", &frmMain::OnObjectDuplicate)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    object->addSeparator();
    AddMenuItem(object, "mnuObjectVisible", "&Visible", &frmMain::OnObjectVisible)->setCheckable(true);
    object->addSeparator();
    AddMenuItem(object, "mnuObjectGroup", "&Group", &frmMain::OnObjectGroup)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    AddMenuItem(object, "mnuObjectUngroup", "&Ungroup", &frmMain::OnObjectUngroup)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
    AddMenuItem(object, "mnuObjectUngroupAll", "Ungroup &All", &frmMain::OnObjectUngroupAll);
    object->addSeparator();
    AddMenuItem(object, "mnuObjectShowSelOnly", "Show Selected Only", &frmMain::OnObjectShowSelOnly);
    AddMenuItem(object, "mnuObjectShowAll", "Show All Objects", &frmMain::OnObjectShowAll);
    AddMenuItem(object, "mnuObjectVanishLines", "&Show Vanishing Lines", &frmMain::OnObjectVanishLines)
        ->setCheckable(true);
    object->addSeparator();
    AddMenuItem(object, "mnuObjectProperties", "&Properties...", &frmMain::OnObjectProperties);

    QMenu* view = addMenu("mnuView", "&View");
    AddMenuItem(view, "mnuViewRulers", "&Rulers", &frmMain::OnViewRulers)->setCheckable(true);
    AddMenuItem(view, "mnuViewGrid", "&Grid", &frmMain::OnViewGrid)->setCheckable(true);
    AddMenuItem(view, "mnuViewAxes", "&Axes", &frmMain::OnViewAxes)->setCheckable(true);
    view->addSeparator();
    QMenu* layout = view->addMenu("Layout");
    layout->setObjectName("mnuViewLayout");
    menus_["mnuViewLayout"] = layout;
    menuActions_["mnuViewLayout"] = layout->menuAction();
    layout->menuAction()->setObjectName("mnuViewLayout");
    AddMenuItem(layout, "mnuLayout2x2", "2x2", &frmMain::OnLayout2x2);
    AddMenuItem(layout, "mnuLayout3x1", "3x1", &frmMain::OnLayout3x1);
    view->addSeparator();
    AddMenuItem(view, "mnuZoomIn", "Zoom In", &frmMain::OnZoomIn);
    AddMenuItem(view, "mnuZoomOut", "Zoom Out", &frmMain::OnZoomOut);
    AddMenuItem(view, "mnuZoomCloser", "Zoom Closer", &frmMain::OnZoomCloser)
        ->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    AddMenuItem(view, "mnuZoomFarther", "Zoom Farther", &frmMain::OnZoomFarther)->setShortcuts(QKeySequence::ZoomOut);
    AddMenuItem(view, "mnuZoomObjects", "Zoom to &Objects", &frmMain::OnZoomObjects)->setShortcut(Qt::Key_Home);
    AddMenuItem(view, "mnuZoomObjectsAll", "Zoom All Views to Objects", &frmMain::OnZoomObjectsAll)
        ->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Home));
    view->addSeparator();
    AddMenuItem(view, "mnuEditPerspective", "&Edit Perspective...", &frmMain::OnEditPerspective);
    AddMenuItem(view, "mnuViewScene", "&Scene Properties...", &frmMain::OnViewScene);
    AddMenuItem(view, "mnuFileInfo", "Scene &Notes...", &frmMain::OnFileInfo);
    AddMenuItem(view, "mnuViewReference", "Reference &Picture...", &frmMain::OnViewReference);
    AddMenuItem(view, "mnuViewReferenceShow", "Show Reference Picture", &frmMain::OnViewReferenceShow)
        ->setCheckable(true);
    AddMenuItem(view, "mnuViewMatchCamera", "&Match Camera...", &frmMain::OnViewMatchCamera);
    view->addSeparator();
    AddMenuItem(view, "mnuViewResetEyePoint", "&Reset Eye Point", &frmMain::OnResetEyePoint);
    view->addSeparator();
    AddMenuItem(view, "mnuViewFncDefs", "&Functions...", &frmMain::OnViewFunctions);

    QMenu* window = addMenu("mnuWindow", "&Window");
    AddMenuItem(window, "mnuWindowCascade", "&Cascade", &frmMain::OnWindowCascade);
    AddMenuItem(window, "mnuWindowTileHorizontal", "Tile &Horizontal", &frmMain::OnWindowTileHorizontal);
    AddMenuItem(window, "mnuWindowTileVertical", "Tile &Vertical", &frmMain::OnWindowTileVertical);
    AddMenuItem(window, "mnuWindowArrangeIcons", "&Arrange Icons", &frmMain::OnWindowArrangeIcons);
    window->addSeparator();
    connect(window, &QMenu::aboutToShow, this, &frmMain::FillWindowMenu);

    QMenu* help = addMenu("mnuHelp", "&Help");
    AddMenuItem(help, "mnuHelpGuide", "&User Guide", &frmMain::OnHelpGuide)->setShortcuts(QKeySequence::HelpContents);
    AddMenuItem(help, "mnuHelpContents", "&On-line Help...", &frmMain::OnHelpContents);
    help->addSeparator();
    AddMenuItem(help, "mnuHelpAbout", "&About", &frmMain::OnHelpAbout);
}

void frmMain::CreateToolBar() {
    QToolBar* bar = addToolBar("Toolbar");
    bar->setObjectName("tbToolBar");
    bar->setIconSize(QSize(24, 24));
    bar->setMovable(false);

    auto shared = [this](const char* name) { return menuActions_.at(name); };
    bar->addAction(AddToolButton("New", "New", shared("mnuFileNew")));
    bar->addAction(AddToolButton("Open", "Open", shared("mnuFileOpen")));
    bar->addAction(AddToolButton("Save", "Save", shared("mnuFileSave")));
    bar->addAction(AddToolButton("Import", "Import Objects", shared("mnuFileImport")));
    bar->addSeparator();
    bar->addAction(AddToolButton("Print", "Print", shared("mnuFilePrint")));
    bar->addAction(AddToolButton("PrintPreview", "Print Preview", shared("mnuFilePrintPreview")));
    // The button carries the caption it always had, and runs the Export command like the
    // menu item of the same name.
    bar->addAction(AddToolButton("Export", "Export to CorelDRAW", shared("mnuFileExport")));
    bar->addSeparator();
    bar->addAction(AddToolButton("Cut", "Cut", shared("mnuEditCut")));
    bar->addAction(AddToolButton("Copy", "Copy", shared("mnuEditCopy")));
    bar->addAction(AddToolButton("Paste", "Paste", shared("mnuEditPaste")));
    bar->addSeparator();
    bar->addAction(AddToolButton("Undo", "Undo", shared("mnuEditUndo")));
    bar->addAction(AddToolButton("Redo", "Redo", shared("mnuEditRedo")));
    bar->addSeparator();

    tools_ = new QActionGroup(this);
    tools_->setExclusive(true);
    // One letter picks each tool, the letters Inkscape users know where a tool has one there.
    const struct {
        const char* key;
        const char* tip;
        std::int32_t code;
        Qt::Key letter;
    } tools[] = {{"Arrow", "Pick Tool", ToolPick, Qt::Key_S},      {"NodeEdit", "Node Edit Tool", ToolNodeEdit, Qt::Key_N},
                 {"Line", "Line Tool", ToolLine, Qt::Key_L},       {"Rectangle", "Rectangle Tool", ToolRectangle, Qt::Key_R},
                 {"Box", "Box Tool", ToolBox, Qt::Key_X},          {"Ellipse", "Ellipse Tool", ToolEllipse, Qt::Key_E},
                 {"Bezier", "Curve Tool", ToolBezier, Qt::Key_B},  {"Measure", "Measure Tool", ToolMeasure, Qt::Key_M}};
    for (const auto& tool : tools) {
        const QKeySequence letter(tool.letter);
        QAction* action = AddToolButton(tool.key, QString("%1 (%2)").arg(tool.tip, letter.toString()), nullptr);
        action->setShortcut(letter);
        action->setCheckable(true);
        action->setObjectName(QString("tb") + tool.key);
        tools_->addAction(action);
        toolActions_[tool.code] = action;
        const std::int32_t code = tool.code;
        connect(action, &QAction::triggered, this, [this, code] { OnTool(code); });
        bar->addAction(action);
    }
    bar->addSeparator();
    QAction* function = AddToolButton("Function", "Insert Parametric Function Object", nullptr);
    function->setObjectName("tbFunction");
    connect(function, &QAction::triggered, this, &frmMain::OnInsertFunction);
    bar->addAction(function);
    bar->addAction(AddToolButton("Perspective", "Edit Perspective", shared("mnuEditPerspective")));
    bar->addAction(AddToolButton("ResetEye", "Reset Eye Point", shared("mnuViewResetEyePoint")));
}

void frmMain::CreatePanels() {
    auto* dock = new QDockWidget("Objects", this);
    dock->setObjectName("ObjectsDock");
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    tree_ = new TreeWidgetView(dock);
    dock->setWidget(tree_);
    // A double click on an object in the list opens its properties, as Object > Properties
    // does: the first click has selected it, and the command is offered where it applies.
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (QAction* properties = MenuAction("mnuObjectProperties"); properties->isEnabled()) properties->trigger();
    });
    addDockWidget(Qt::LeftDockWidgetArea, dock);
    resizeDocks({dock}, {220}, Qt::Horizontal);
    // F2 renames the selected object wherever the focus is, in the list's own editor, which
    // takes the focus so that the letters typed go to the name and do not pick tools.
    auto* rename = new QAction(this);
    rename->setObjectName("actRename");
    rename->setShortcut(Qt::Key_F2);
    addAction(rename);
    connect(rename, &QAction::triggered, this, [this] {
        CancelDrags();
        tree_->setFocus(Qt::ShortcutFocusReason);
        tree_->RenameSelected();
    });

    QStatusBar* status = statusBar();
    status->setObjectName("StatusBar");
    status->setSizeGripEnabled(true);
    transform_ = new TransformPanel(status);
    lineStatus_ = new LineInfoPanel(status);
    // The panels keep their fields readable: a narrow window clips the status area rather
    // than squeezing them.
    transform_->setMinimumWidth(transform_->sizeHint().width());
    lineStatus_->setMinimumWidth(lineStatus_->sizeHint().width());
    status->addWidget(transform_);
    status->addWidget(lineStatus_, 1);
    fields_ = new StatusFields(centralWidget());
    centralWidget()->layout()->addWidget(fields_);
    connect(transform_, &TransformPanel::ApplyRequested, this, &frmMain::OnApply);
    connect(transform_, &TransformPanel::RelativeChanged, this, &frmMain::UpdateStatusBar);
}

QAction* frmMain::MenuAction(const QString& name) const {
    const auto it = menuActions_.find(name);
    return it == menuActions_.end() ? nullptr : it->second;
}

QAction* frmMain::ToolbarAction(const QString& key) const {
    const auto it = toolbarActions_.find(key);
    return it == toolbarActions_.end() ? nullptr : it->second;
}

QMenu* frmMain::Menu(const QString& name) const {
    const auto it = menus_.find(name);
    return it == menus_.end() ? nullptr : it->second;
}

} // namespace ov

namespace ov {

void frmMain::FillRecentMenu() {
    QMenu* menu = menus_["mnuFileRecent"];
    menu->clear();
    const QStringList paths = RecentFiles::Read();
    int number = 0;
    for (const QString& path : paths) {
        QAction* entry = menu->addAction(QString("&%1 %2").arg(++number).arg(QFileInfo(path).fileName()));
        entry->setToolTip(path);
        entry->setStatusTip(path);
        // A project moved or deleted since is shown, but cannot be chosen.
        entry->setEnabled(QFileInfo(path).isFile());
        connect(entry, &QAction::triggered, this, [this, path] { OpenProject(path.toStdString()); });
    }
    if (paths.isEmpty()) menu->addAction("No Recent Projects")->setEnabled(false);
    menu->addSeparator();
    QAction* clear = menu->addAction("&Clear List", [] { RecentFiles::Clear(); });
    clear->setEnabled(!paths.isEmpty());
}

void frmMain::FillWindowMenu() {
    QMenu* menu = menus_["mnuWindow"];
    // The entries after the last separator are the documents of the last time.
    const QList<QAction*> actions = menu->actions();
    for (qsizetype i = actions.size() - 1; i >= 0 && !actions[i]->isSeparator(); --i) {
        menu->removeAction(actions[i]);
        actions[i]->deleteLater();
    }
    int number = 0;
    for (QMdiSubWindow* window : mdi_->subWindowList()) {
        auto* document = qobject_cast<frmDocument*>(window->widget());
        if (!document) continue;
        QAction* entry = menu->addAction(QString("&%1 %2").arg(++number).arg(document->windowTitle()));
        entry->setCheckable(true);
        entry->setChecked(window == mdi_->currentSubWindow()); // also while the menu has the focus
        connect(entry, &QAction::triggered, this, [this, window] { mdi_->setActiveSubWindow(window); });
    }
}

} // namespace ov
