#include "app/windows/frmMain.h"

#include "app/windows/OutOfMemory.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>
#include <QVBoxLayout>

#include "app/windows/AppIcons.h"
#include "app/windows/LineInfoPanel.h"
#include "app/windows/StatusFields.h"
#include "app/windows/OutOfMemory.h"
#include "app/desktop/LocalPath.h"
#include "app/desktop/ShellRules.h"
#include "app/windows/TransformPanel.h"
#include "app/windows/TreeWidgetView.h"
#include "app/windows/frmDocument.h"
#include "app/desktop/RecentFiles.h"
#include "app/dialogs/frmFileInfo.h"
#include "app/dialogs/frmPrintPreview.h"
#include "platform/Desktop.h"
#include "platform/Prompt.h"
#include "render/ReferenceImages.h"
#include "scene/AppState.h"
#include "scene/clsScene.h"

namespace ov {

namespace {

const char* const kProjectFilter = "Orthovane Projects (*.ovp)|*.ovp|All Files (*.*)|*.*";

// Whether ungrouping the selection would change anything: it is a group or lists one.
bool HoldsGroup(const clsNode* selection) {
    if (!selection) return false;
    if (selection->NodeType == clsNode::Group) return true;
    if (!selection->IsSelection()) return false;
    for (const clsNode* member : selection->SelectionList)
        if (member && member->NodeType == clsNode::Group) return true;
    return false;
}

} // namespace

const char* frmMain::HelpAddress() { return "https://orthovane.org/help/"; }

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmMain");
    setWindowTitle("Orthovane");
    setAcceptDrops(true);

    AppState& app = App();
    app.MainWindow = this;
    app.DocumentCounter = 0;

    ChoosePrinter = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        dialog.setWindowTitle("Print");
        return dialog.exec() == QDialog::Accepted;
    };
    SetUpPrinter = [this](QPrinter& printer) { return ShowPrintSetup(printer, this); };
    OpenUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };

    // The document windows, and under them the status line of the pointer, the tool and
    // the selection (the status bar's row is full with the panels).
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    mdi_ = new QMdiArea(central);
    mdi_->setObjectName("MdiArea");
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    column->addWidget(mdi_, 1);
    setCentralWidget(central);
    connect(mdi_, &QMdiArea::subWindowActivated, this, &frmMain::OnSubWindowActivated);

    CreateMenus();
    CreateToolBar();
    CreatePanels();
    ToolChanged();
    SelectionChanged();
}

frmMain::~frmMain() {
    // The documents go first, while the tree view and the panels they talk to still exist;
    // nothing may reach this half-destroyed window through the application state.
    AppState& app = App();
    if (app.MainWindow == this) app.MainWindow = nullptr;
    if (app.ActiveScene && IsOpenScene(app.ActiveScene)) app.ActiveScene->DeActivate();
    tree_->SetTreeManager(nullptr);
    disconnect(mdi_, nullptr, this, nullptr);
    for (const auto& [document, scene] : documents_) disconnect(document, nullptr, this, nullptr);
    documents_.clear();
    // Closed windows wait for their deferred deletion outside the area's list: take them too.
    for (QMdiSubWindow* window : mdi_->findChildren<QMdiSubWindow*>()) delete window;
    app.ActiveScene = nullptr;
}

QMdiArea* frmMain::MdiArea() const { return mdi_; }

void frmMain::CancelDrags() {
    for (QMdiSubWindow* window : mdi_->subWindowList())
        if (auto* document = qobject_cast<frmDocument*>(window->widget())) document->CancelDrag();
}

void frmMain::RunCommand(void (frmMain::*command)(), const QString& caption) {
    clsScene* scene = App().ActiveScene;
    const std::int32_t undoIndex = scene ? scene->TreeManager.UndoIndex : 0;
    QString name = caption;
    name.remove('&').remove(QStringLiteral("..."));
    const bool done = RunGuarded("complete '" + name.toStdString() + "'", [&] { (this->*command)(); });
    if (done || !scene || !IsOpenScene(scene) || scene->TreeManager.UndoIndex <= undoIndex) return;
    RunGuarded("undo the unfinished change", [&] {
        scene->TreeManager.Undo();
        scene->TreeManager.DropRedo();
    });
}

frmDocument* frmMain::DocumentOf(const clsScene* scene) const {
    if (!scene) return nullptr;
    for (QMdiSubWindow* window : mdi_->subWindowList())
        if (auto* document = qobject_cast<frmDocument*>(window->widget()); document && &document->GetScene() == scene)
            return document;
    return nullptr;
}

bool frmMain::IsOpenScene(const clsScene* scene) const {
    for (const auto& [document, open] : documents_)
        if (open == scene) return true;
    return false;
}

clsScene* frmMain::CurrentScene() const {
    clsScene* scene = App().ActiveScene;
    return scene && IsOpenScene(scene) ? scene : nullptr;
}

frmDocument* frmMain::ActiveDocument() const { return DocumentOf(CurrentScene()); }

// ------------------------------------------------------------------ documents

frmDocument* frmMain::NewDocument() { return OpenDocument(std::nullopt); }

frmDocument* frmMain::OpenProject(const std::string& path) {
    // A project open already comes to the front: a second copy would be saved over the first.
    if (frmDocument* open = FindOpenProject(path)) {
        mdi_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(open->parentWidget()));
        return open;
    }
    // Projects also come from outside the menu commands, which catch memory running out: from
    // the command line, a drop, or a later start. A file of up to a gigabyte may not fit.
    frmDocument* opened = nullptr;
    RunGuarded("open the project '" + path + "'", [&] { opened = OpenDocument(path); });
    if (opened) RecentFiles::Add(QString::fromStdString(path));
    return opened;
}

frmDocument* frmMain::FindOpenProject(const std::string& path) const {
    // The same file under another spelling (a relative path, a link) is the same project.
    const QString wanted = QFileInfo(QString::fromStdString(path)).canonicalFilePath();
    if (wanted.isEmpty()) return nullptr;
    for (const auto& [document, scene] : documents_)
        if (!scene->FileName.empty() && QFileInfo(QString::fromStdString(scene->FileName)).canonicalFilePath() == wanted)
            return DocumentOf(scene);
    return nullptr;
}

namespace {

constexpr std::size_t kGreetingNotesBytes = std::size_t{1} << 20;

} // namespace

frmDocument* frmMain::OpenDocument(const std::optional<std::string>& path) {
    auto document = std::make_unique<frmDocument>();
    if (path) {
        if (!document->GetScene().LoadScene(*path, false, AskToRecover(*path, "Open"))) return nullptr;
        // Loading names the scene after its file; the window's caption follows.
        document->SetName(document->GetScene().Name);
        // A picture that cannot be decoded would leave the perspective view bare without a
        // word (a missing one the loading has reported).
        const ReferencePicture& reference = document->GetScene().Reference;
        std::string reason;
        if (reference.IsSet() && QFileInfo(QString::fromStdString(reference.Path)).isFile() &&
            !CanReadPicture(reference.Path, reason))
            ShowMessage("The reference picture '" + reference.Path + "' cannot be shown: " + reason, PromptIcon::Warning);
        // Curves are sampled here, where Esc stops a long sampling with nothing else on
        // screen, rather than in the first paint, behind the notes that greet the project.
        clsPoint3D low, high;
        document->GetScene().GetRootNode()->GetChildrenBBox(low, high);
    } else {
        ++App().DocumentCounter;
        document->SetName("Document " + std::to_string(App().DocumentCounter));
    }

    frmDocument* shown = document.release();
    documents_[shown] = &shown->GetScene();
    connect(shown, &QObject::destroyed, this, &frmMain::OnDocumentDestroyed);
    const bool maximized = mdi_->subWindowList().isEmpty() ||
                           (mdi_->currentSubWindow() && mdi_->currentSubWindow()->isMaximized());
    QMdiSubWindow* window = mdi_->addSubWindow(shown);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // The document window's own menu claims the keys of File > Close (Ctrl+W) inside the
    // document, which makes them ambiguous there, and so dead; File > Close closes the active
    // document from anywhere, with the same question.
    if (QMenu* menu = window->systemMenu())
        for (QAction* action : menu->actions())
            for (const QKeySequence& keys : QKeySequence::keyBindings(QKeySequence::Close))
                if (action->shortcuts().contains(keys)) action->setShortcuts({});
    window->setWindowIcon(TreeImage(1));
    if (maximized) window->showMaximized();
    else window->show();
    mdi_->setActiveSubWindow(window);
    ActivateDocument(shown);

    // A project's notes greet whoever opens it, and invite notes where there are none yet;
    // notes the size of a book wait until they are asked for (View > Scene Notes).
    if (path && shown->GetScene().Notes.size() <= kGreetingNotesBytes) {
        auto* notes = new frmFileInfo(shown->GetScene(), shown);
        notes->setAttribute(Qt::WA_DeleteOnClose);
        notes->open();
    }
    return shown;
}

std::function<bool(const std::string&)> frmMain::AskToRecover(const std::string& path, const std::string& take) {
    return [path, take](const std::string& damage) {
        return Prompt().Show("The project '" + path + "' is damaged: " + damage + ".\r" + take +
                                 " what could be read?",
                             "", PromptIcon::Warning, PromptButtons::YesNo) == PromptAnswer::Yes;
    };
}

void frmMain::ActivateDocument(frmDocument* document) {
    if (!document) return;
    clsScene* scene = &document->GetScene();
    AppState& app = App();
    const bool bound = scene->TreeManager.TVControl == tree_ && tree_->TreeManager() == &scene->TreeManager;
    if (app.ActiveScene != scene || !bound) {
        tree_->SetTreeManager(&scene->TreeManager);
        document->ActivateDocument(tree_);
    }
    SelectionChanged();
}

void frmMain::OnSubWindowActivated(QMdiSubWindow* window) {
    if (window) {
        ActivateDocument(qobject_cast<frmDocument*>(window->widget()));
        return;
    }
    // The application losing the focus deactivates the sub-windows too; only the last
    // window going away leaves no active document.
    if (mdi_->subWindowList().isEmpty()) {
        AppState& app = App();
        if (app.ActiveScene && IsOpenScene(app.ActiveScene)) {
            app.ActiveScene->DeActivate();
            app.ActiveScene = nullptr;
        }
        tree_->SetTreeManager(nullptr);
        tree_->Clear();
        SelectionChanged();
    }
}

void frmMain::OnDocumentDestroyed(QObject* document) {
    // The document and its scene are gone: forget every reference to them.
    const auto it = documents_.find(document);
    if (it == documents_.end()) return;
    const clsScene* scene = it->second;
    documents_.erase(it);
    AppState& app = App();
    if (app.ActiveScene == scene) app.ActiveScene = nullptr;
    if (tree_->TreeManager() == &scene->TreeManager) {
        tree_->SetTreeManager(nullptr);
        tree_->Clear();
    }
    if (app.MainWindow == this) SelectionChanged();
}

// ------------------------------------------------------------------ saving

bool frmMain::OnSave(clsScene& scene) {
    if (!scene.FileName.empty()) return SaveSceneTo(scene, scene.FileName);
    return SaveSceneAs(scene);
}

bool frmMain::SaveSceneAs(clsScene& scene) {
    const std::string path = ShowFileDialog("Save Project As", "ovp", scene.FileName, kProjectFilter, false);
    if (path.empty()) return false;
    return SaveSceneTo(scene, path);
}

bool frmMain::SaveSceneTo(clsScene& scene, const std::string& path) {
    if (!scene.SaveScene(path)) return false;
    RecentFiles::Add(QString::fromStdString(path));
    // Saving under a new name renames the document even when it had no changes.
    if (frmDocument* document = DocumentOf(&scene)) document->SetName(scene.Name);
    UpdateUI(false);
    return true;
}

// ------------------------------------------------------------------ keeping the window in step

void frmMain::SelectionChanged() { UpdateUI(true); }

void frmMain::UpdateUI(bool selectionChanged) {
    clsScene* scene = CurrentScene();
    const bool active = scene != nullptr;
    const bool available = active && !busy_;
    clsTreeManager* manager = available ? &scene->TreeManager : nullptr;

    const bool canUndo = manager && manager->CanUndo();
    const bool canRedo = manager && manager->CanRedo();
    const QString undo = canUndo ? QString::fromStdString("Undo " + manager->GetUndoString()) : QString("Undo");
    const QString redo = canRedo ? QString::fromStdString("Redo " + manager->GetRedoString()) : QString("Redo");
    QAction* undoAction = MenuAction("mnuEditUndo");
    undoAction->setEnabled(canUndo);
    undoAction->setText("&" + undo);
    undoAction->setToolTip(undo);
    QAction* redoAction = MenuAction("mnuEditRedo");
    redoAction->setEnabled(canRedo);
    redoAction->setText("&" + redo);
    redoAction->setToolTip(redo);

    MenuAction("mnuEditPaste")->setEnabled(available && clipboard_);

    clsNode* selection = manager ? manager->GetSelection() : nullptr;
    const bool selected = selection != nullptr;
    const std::int32_t count = manager ? manager->GetSelectedCount() : 0;
    for (const char* name : {"mnuEditCut", "mnuEditCopy", "mnuObjectDelete", "mnuObjectDuplicate", "mnuObjectVisible",
                             "mnuObjectShowSelOnly", "mnuObjectVanishLines"})
        MenuAction(name)->setEnabled(selected);
    MenuAction("mnuObjectGroup")->setEnabled(selected && count >= 2);
    MenuAction("mnuObjectUngroup")->setEnabled(HoldsGroup(selection));
    MenuAction("mnuObjectUngroupAll")->setEnabled(HoldsGroup(selection));
    MenuAction("mnuObjectVisible")->setChecked(selected && selection->IsVisible());
    MenuAction("mnuObjectVanishLines")->setChecked(selected && selection->VanishPointVisible());

    for (const char* name : {"mnuEditSelectAll", "mnuObjectShowAll"}) MenuAction(name)->setEnabled(available);
    for (const char* name :
         {"mnuFileClose", "mnuFileSave", "mnuFileSaveAs", "mnuFileSaveAll", "mnuFilePrint", "mnuFileExport",
          "mnuFileImport", "mnuViewRulers", "mnuViewGrid", "mnuViewAxes", "mnuViewLayout", "mnuZoomIn",
          "mnuZoomOut", "mnuZoomCloser", "mnuZoomFarther", "mnuZoomObjects",
          "mnuZoomObjectsAll", "mnuFileInfo", "mnuViewResetEyePoint"})
        MenuAction(name)->setEnabled(active);
    MenuAction("mnuViewRulers")->setChecked(active && scene->ShowRulers);
    MenuAction("mnuViewGrid")->setChecked(active && scene->ShowGrid);
    MenuAction("mnuViewAxes")->setChecked(active && scene->ShowAxes);
    const bool picture = active && scene->Reference.IsSet();
    MenuAction("mnuViewReference")->setEnabled(active);
    MenuAction("mnuViewReferenceShow")->setEnabled(picture);
    MenuAction("mnuViewMatchCamera")->setEnabled(picture);
    MenuAction("mnuViewReferenceShow")->setChecked(picture && scene->Reference.Visible);

    const bool windows = !mdi_->subWindowList().isEmpty();
    for (const char* name :
         {"mnuWindowCascade", "mnuWindowTileHorizontal", "mnuWindowTileVertical", "mnuWindowArrangeIcons"})
        MenuAction(name)->setEnabled(windows);

    // Only ellipses and parametric functions have a property dialog.
    MenuAction("mnuObjectProperties")
        ->setEnabled(selected && (selection->NodeType == clsNode::Ellipse || selection->NodeType == clsNode::Function));
    for (const char* name : {"mnuFilePrintPreview", "mnuFileExportDraw", "mnuEditPerspective", "mnuViewScene",
                             "mnuViewFncDefs"})
        MenuAction(name)->setEnabled(available);
    ToolbarAction("Function")->setEnabled(available);

    tools_->setEnabled(active);

    if (selectionChanged) UpdateStatusBar();
}

void frmMain::UpdateStatusBar() {
    clsScene* scene = CurrentScene();
    clsNode* selection = scene ? scene->GetSelection() : nullptr;
    transform_->setEnabled(selection != nullptr);
    UpdateStatusBarForNode(selection, selection);
    UpdateStatusFields();
}

void frmMain::ShowPointerStatus(const std::string& position) {
    fields_->ShowPointer(position);
    UpdateStatusFields();
}

void frmMain::UpdateStatusFields() {
    clsScene* scene = CurrentScene();
    const std::int32_t count = scene ? scene->TreeManager.GetSelectedCount() : 0;
    frmDocument* document = ActiveDocument();
    fields_->ShowHint(scene && document ? document->Tools().Hint(count > 0) : "");
    fields_->ShowSelection(scene ? SelectionText(count) : "");
}

void frmMain::UpdateStatusBarForNode(clsNode* node, clsNode* reference) {
    clsScene* scene = CurrentScene();
    transform_->Fill(node, reference);
    lineStatus_->Fill(node, scene ? &scene->GetPerspective() : nullptr);
}

void frmMain::ToolChanged() {
    UpdateStatusFields();
    const auto it = toolActions_.find(App().CurrentTool);
    if (it != toolActions_.end()) {
        it->second->setChecked(true);
        return;
    }
    // The zoom tool has no button: none is pressed while it is in use.
    tools_->setExclusive(false);
    for (const auto& [code, action] : toolActions_) action->setChecked(false);
    tools_->setExclusive(true);
}

// ------------------------------------------------------------------ closing and drops

void frmMain::closeEvent(QCloseEvent* event) {
    // Every document is asked in turn; one that refuses (Cancel) keeps the program open.
    for (QMdiSubWindow* window : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->close()) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (!event->mimeData()->hasUrls()) return;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            return;
        }
    }
}

void frmMain::dropEvent(QDropEvent* event) {
    if (!event->mimeData()->hasUrls()) return;
    event->acceptProposedAction();
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        const std::string path = LocalPath(url.toLocalFile());
        if (IsProjectDrop(path)) OpenProject(path);
    }
}

} // namespace ov
