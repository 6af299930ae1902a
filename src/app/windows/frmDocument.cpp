#include "app/windows/frmDocument.h"

#include <QLabel>
#include <QPainter>

#include "app/windows/CameraMatchSession.h"

#include "app/windows/ToolCursors.h"
#include "scene/AppState.h"
#include "scene/ITreeView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>

namespace ov {

namespace {

// The view types of ports 0 to 3 in a new window; port 3 is the perspective view that
// GetPerspectiveView answers with, whatever the user turns it into later.
constexpr std::array<std::int32_t, frmDocument::PortCount> kInitialViewTypes = {
    clsView::Top, clsView::Front, clsView::Left, clsView::Perspective};
constexpr int kPerspectivePort = 3;

} // namespace

frmDocument::frmDocument(QWidget* parent) : QWidget(parent), scene_(std::make_unique<clsScene>()) {
    scene_->BindToDocument(this);
    for (int i = 0; i < PortCount; ++i) {
        ViewPort* port = new ViewPort(i, this, this);
        ports_[static_cast<std::size_t>(i)] = port;
        views_[static_cast<std::size_t>(i)].SetView(kInitialViewTypes[static_cast<std::size_t>(i)],
                                                    &port->GetCanvas(), scene_.get());
    }
    IToolHost& host = *this;
    tools_ = std::make_unique<ToolInteraction>(*scene_, views_, host);
    setFocusProxy(ports_[0]);

    cbViewType_ = new QComboBox(this);
    for (std::int32_t type = clsView::Left; type <= clsView::Perspective; ++type)
        cbViewType_->addItem(QString::fromStdString(clsView::ViewName(type)));
    cbViewType_->hide();
    cbViewType_->installEventFilter(this);
    connect(cbViewType_, &QComboBox::activated, this, &frmDocument::OnViewTypeChosen);

    setWindowTitle(QString::fromStdString(scene_->Name));
    resize(640, 480);
    App().OpenScenes.push_back(scene_.get());
    ArrangePorts();
}

frmDocument::~frmDocument() {
    tools_->ReleaseCapture();
    for (ViewPort* port : ports_)
        port->Detach();
    AppState& app = App();
    if (app.ActiveScene == scene_.get()) {
        scene_->DeActivate();
        app.ActiveScene = nullptr;
    }
    if (app.DialogScene == scene_.get()) app.DialogScene = nullptr;
    if (app.MainWindow) app.MainWindow->SelectionChanged();
    app.OpenScenes.erase(std::remove(app.OpenScenes.begin(), app.OpenScenes.end(), scene_.get()),
                         app.OpenScenes.end());
    scene_->BindToDocument(nullptr);
}

void frmDocument::SetName(const std::string& name) {
    // A document opened modified (what could be read of a damaged file) shows it at once.
    setWindowTitle(QString::fromStdString(scene_->Modified ? name + " *" : name));
    scene_->SetName(name);
}

clsView& frmDocument::GetPerspectiveView() {
    return views_[kPerspectivePort];
}
clsView& frmDocument::GetActiveView() {
    return tools_->ActiveView();
}
clsScene& frmDocument::GetScene() {
    return *scene_;
}
ViewPort* frmDocument::GetViewPort(int index) const {
    return index >= 0 && index < PortCount ? ports_[static_cast<std::size_t>(index)] : nullptr;
}
clsView& frmDocument::GetView(int index) {
    return views_[static_cast<std::size_t>(std::clamp(index, 0, PortCount - 1))];
}

void frmDocument::SetLayout(std::int32_t layout) {
    maximized_ = false;
    layout_ = layout;
    ArrangePorts();
}

void frmDocument::SetCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void frmDocument::UpdateViews() {
    for (ViewPort* port : ports_)
        port->Invalidate();
    if (App().MainWindow) App().MainWindow->UpdateUI();
}

void frmDocument::ResetZoom() {
    for (clsView& view : views_)
        view.ResetZoom();
    UpdateViews();
}

void frmDocument::OnPerspectiveChange() {
    // A camera that only moved keeps each view's zoom and pan; a changed volume (the scene's,
    // or the camera window of a perspective view) shows its whole extent again.
    for (clsView& view : views_)
        view.RefreshViewVolume();
    // The pictures no longer fit what is shown (feedback included).
    for (ViewPort* port : ports_)
        port->Invalidate();
}

void frmDocument::ZoomToObjects(bool allViews) {
    // A little room around the objects, so that their outermost lines stay clear of the edge.
    constexpr double kMargin = 0.05;
    for (int i = 0; i < PortCount; ++i) {
        clsView& view = views_[static_cast<std::size_t>(i)];
        clsRect box;
        if ((allViews || i == tools_->ActiveIndex()) && view.GetObjectsExtent(scene_->GetRootNode(), box)) {
            view.ZoomToBox(box, kMargin);
            InvalidatePort(i);
        }
    }
}

void frmDocument::ZoomActiveView(double factor) {
    GetActiveView().ZoomAtCentre(factor);
    InvalidatePort(tools_->ActiveIndex());
}

void frmDocument::OnToolChange(std::int32_t newTool) {
    tools_->ShowToolCursor(newTool);
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void frmDocument::ActivateDocument(ITreeView* treeView) {
    AppState& app = App();
    if (app.ActiveScene && app.ActiveScene != scene_.get()) app.ActiveScene->DeActivate();
    app.ActiveScene = scene_.get();
    scene_->Activate(treeView);
}

// ------------------------------------------------------------------ window events

void frmDocument::CancelDrag() { tools_->CancelDrag(); }

void frmDocument::closeEvent(QCloseEvent* event) {
    // A drag cannot outlive the question whether to save.
    CancelDrag();
    if (scene_->CanClose())
        event->accept();
    else
        event->ignore();
}

void frmDocument::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ArrangePorts();
}

void frmDocument::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ArrangePorts();
}

void frmDocument::ArrangePorts() {
    const int w = width(), h = height();
    const int active = tools_->ActiveIndex();
    if (maximized_) {
        for (int i = 0; i < PortCount; ++i) {
            ViewPort* port = ports_[static_cast<std::size_t>(i)];
            if (i == active) {
                port->setGeometry(0, 0, w, h);
                port->show();
                port->SyncCanvasSize();
            } else {
                port->hide();
            }
        }
        return;
    }
    if (layout_ == 0) {
        ports_[0]->setGeometry(0, 0, w / 2, h / 2);
        ports_[1]->setGeometry(w / 2, 0, w / 2, h / 2);
        ports_[2]->setGeometry(0, h / 2, w / 2, h / 2);
        ports_[3]->setGeometry(w / 2, h / 2, w / 2, h / 2);
    } else if (layout_ == 1) {
        ports_[0]->setGeometry(0, 0, w / 4, h / 3);
        ports_[1]->setGeometry(0, h / 3, w / 4, h / 3);
        ports_[2]->setGeometry(0, 2 * h / 3, w / 4, h / 3);
        ports_[3]->setGeometry(w / 4, 0, 3 * w / 4, h);
    }
    for (ViewPort* port : ports_) {
        port->show();
        port->SyncCanvasSize();
        port->Invalidate();
    }
}

// ------------------------------------------------------------------ the view-type list

void frmDocument::ShowViewTypeList() {
    ViewPort* port = ports_[static_cast<std::size_t>(tools_->ActiveIndex())];
    cbViewType_->adjustSize();
    cbViewType_->move(port->mapTo(this, QPoint(3, 3)));
    // Showing the current type is not a choice.
    ++updateLock_;
    const std::int32_t type = GetActiveView().ViewType;
    cbViewType_->setCurrentIndex(type >= 0 && type < cbViewType_->count() ? type : -1);
    --updateLock_;
    cbViewType_->show();
    cbViewType_->raise();
    cbViewType_->setFocus(Qt::MouseFocusReason);
}

void frmDocument::OnViewTypeChosen(int index) {
    const bool apply = updateLock_ == 0 && index >= 0 && index <= clsView::Perspective;
    HideViewTypeList();
    if (!apply) return;
    GetActiveView().SetViewType(index);
    InvalidatePort(tools_->ActiveIndex());
}

void frmDocument::HideViewTypeList() {
    if (!cbViewType_->isVisible()) return;
    const bool hadFocus = cbViewType_->hasFocus();
    cbViewType_->hide();
    if (hadFocus) ports_[static_cast<std::size_t>(tools_->ActiveIndex())]->setFocus();
}

bool frmDocument::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cbViewType_) {
        // Opening the list's drop-down takes the focus away too (on some desktops as a
        // window change): only once things have settled is it clear whether the focus went
        // elsewhere.
        if (event->type() == QEvent::FocusOut)
            QTimer::singleShot(0, this, [this] {
                const QAbstractItemView* dropDown = cbViewType_->view();
                if (!cbViewType_->hasFocus() && !(dropDown && dropDown->isVisible()))
                    HideViewTypeList();
            });
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            HideViewTypeList();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ------------------------------------------------------------------ what the tools ask

bool frmDocument::PreparePort(int port) {
    ViewPort* p = GetViewPort(port);
    if (!p) return false;
    if (p->isHidden()) {
        p->Invalidate();
        return false;
    }
    p->EnsureRendered();
    return true;
}

void frmDocument::InvalidatePort(int port) {
    if (ViewPort* p = GetViewPort(port)) p->Invalidate();
}

void frmDocument::SetCapture(bool on) {
    // While a button is down Qt already sends every move and the release to the pressed
    // port; the port grabs the mouse itself only for the phases with the button up (see
    // OnPortMouseUp).
    if (!on) ReleaseGrab();
}

void frmDocument::GrabForButtonUpPhase() {
    if (!tools_->Captured() || QWidget::mouseGrabber()) return;
    // Platforms without a pointer (offscreen tests) have nothing to grab.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return;
    ports_[static_cast<std::size_t>(tools_->ActiveIndex())]->grabMouse();
}

void frmDocument::ReleaseGrab() {
    for (ViewPort* port : ports_)
        if (QWidget::mouseGrabber() == port) port->releaseMouse();
}

void frmDocument::SetPortCursor(int port, int image) {
    if (ViewPort* p = GetViewPort(port)) p->setCursor(ToolCursor(image));
}

void frmDocument::ToggleMaximized() {
    maximized_ = !maximized_;
    ArrangePorts();
}

bool frmDocument::RestoreLayout() {
    if (!maximized_) return false;
    maximized_ = false;
    ArrangePorts();
    return true;
}

void frmDocument::ShowPointerLabel(int port, double x, double y, const std::string& text) {
    ViewPort* p = GetViewPort(port);
    if (text.empty() || !p) {
        if (pointerLabel_) pointerLabel_->hide();
        return;
    }
    if (!pointerLabel_) {
        pointerLabel_ = new QLabel(this);
        pointerLabel_->setObjectName("lblPointerLabel");
        pointerLabel_->setTextFormat(Qt::PlainText);
        pointerLabel_->setAutoFillBackground(true);
        pointerLabel_->setFrameShape(QFrame::Box);
        pointerLabel_->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    pointerLabel_->setText(QString::fromStdString(text));
    pointerLabel_->adjustSize();
    // Below and right of the pointer, kept inside the window.
    QPoint at = p->mapTo(this, QPoint(static_cast<int>(x) + 16, static_cast<int>(y) + 16));
    at.setX(std::min(at.x(), width() - pointerLabel_->width()));
    at.setY(std::min(at.y(), height() - pointerLabel_->height()));
    pointerLabel_->move(at);
    pointerLabel_->show();
    pointerLabel_->raise();
}

void frmDocument::ActivePortChanged(int port) {
    if (ViewPort* p = GetViewPort(port)) {
        setFocusProxy(p);
        p->setFocus(Qt::MouseFocusReason);
    }
}

// ------------------------------------------------------------------ view-port events

void frmDocument::OnPortRender(int port) {
    clsView& view = views_[static_cast<std::size_t>(port)];
    view.OnPaint(scene_->GetRootNode(), false, tools_->PaintsEyeMarker());
    tools_->DrawFeedback(port);
    Canvas& canvas = ports_[static_cast<std::size_t>(port)]->GetCanvas();
    if (match_ && view.ViewType == clsView::Perspective && !canvas.Image().isNull()) {
        QPainter painter(&canvas.Image());
        canvas.PreparePainter(painter);
        match_->Draw(painter, view);
        painter.end();
        canvas.NotifyChanged();
    }
}

void frmDocument::SetCameraMatch(CameraMatchSession* session, std::function<void()> changed) {
    match_ = session;
    matchChanged_ = std::move(changed);
    UpdateViews(); // the marks appear or go
}

bool frmDocument::MatchMouse(int port, int phase, int button, double x, double y) {
    if (!match_) return false;
    const clsView& view = views_[static_cast<std::size_t>(port)];
    if (phase == 0) {
        // Only the left button in the perspective view marks; the others keep panning and zooming.
        if (button != buttons::Left || view.ViewType != clsView::Perspective || !match_->MouseDown(view, x, y))
            return false;
    } else if (!match_->Dragging()) {
        return false;
    } else if (phase == 1) {
        match_->MouseMove(view, x, y);
    } else {
        match_->MouseUp();
    }
    InvalidatePort(port);
    if (matchChanged_) matchChanged_();
    return true;
}

void frmDocument::OnPortMouseDown(int port, int button, double x, double y, int shift) {
    if (MatchMouse(port, 0, button, x, y)) return;
    tools_->MouseDown(port, button, x, y, shift);
}

void frmDocument::OnPortMouseMove(int port, int /*buttons*/, double x, double y, int shift) {
    if (MatchMouse(port, 1, 0, x, y)) return;
    tools_->MouseMove(port, x, y, shift);
}

void frmDocument::OnPortMouseUp(int port, int button, double x, double y, int shift) {
    if (MatchMouse(port, 2, button, x, y)) return;
    tools_->MouseUp(port, button, x, y, shift);
    GrabForButtonUpPhase();
}

void frmDocument::OnPortWheel(int port, double angleX, double angleY, double x, double y, int shift) {
    tools_->Wheel(port, angleX, angleY, x, y, shift);
}

void frmDocument::OnPortLeave(int /*port*/) {
    // A position shown after the pointer went elsewhere would be taken for the current one;
    // during a drag the port holds the mouse and its measures stay.
    if (tools_->GetDragState() == ToolInteraction::Idle && App().MainWindow) App().MainWindow->ShowPointerStatus("");
}

void frmDocument::OnPortKeyDown(int /*port*/, int keyCode, int shift) {
    tools_->KeyDown(keyCode, shift);
}

} // namespace ov
