#include "app/windows/ViewPort.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include "app/windows/OutOfMemory.h"
#include "platform/Desktop.h"

namespace ov {

namespace {

int ButtonCode(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return buttons::Left;
    case Qt::RightButton:
        return buttons::Right;
    case Qt::MiddleButton:
        return buttons::Middle;
    default:
        return 0;
    }
}

int ButtonCodes(Qt::MouseButtons held) {
    int codes = 0;
    if (held & Qt::LeftButton) codes |= buttons::Left;
    if (held & Qt::RightButton) codes |= buttons::Right;
    if (held & Qt::MiddleButton) codes |= buttons::Middle;
    return codes;
}

} // namespace

ViewPort::ViewPort(int index, IViewPortEvents* events, QWidget* parent)
    : QWidget(parent), index_(index), events_(events) {
    // The hover pointer and the button-up phases of the box and Bezier tools need every move.
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    // The canvas covers every pixel; Qt need not clear the widget first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    canvas_.Changed = [this] {
        if (!rendering_) update();
    };
    retry_.setSingleShot(true);
    retry_.setInterval(100);
    connect(&retry_, &QTimer::timeout, this, [this] { update(); });
}

ViewPort::~ViewPort() {
    canvas_.Changed = nullptr;
}

int ViewPort::ShiftBits(Qt::KeyboardModifiers modifiers) {
    int bits = 0;
    if (modifiers & Qt::ShiftModifier) bits |= keys::ShiftBit;
    if (modifiers & Qt::ControlModifier) bits |= keys::CtrlBit;
    if (modifiers & Qt::AltModifier) bits |= keys::AltBit;
    return bits;
}

int ViewPort::KeyCode(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Escape:
        return keys::Escape;
    case Qt::Key_Space:
        return keys::Space;
    case Qt::Key_Left:
        return keys::Left;
    case Qt::Key_Up:
        return keys::Up;
    case Qt::Key_Right:
        return keys::Right;
    case Qt::Key_Down:
        return keys::Down;
    case Qt::Key_Delete:
        return keys::Delete;
    default:
        return 0;
    }
}

void ViewPort::Invalidate() {
    dirty_ = true;
    update();
}

void ViewPort::EnsureRendered() {
    if (RenderIfDirty()) update();
}

bool ViewPort::RenderIfDirty() {
    if (!canvas_.HasSize(width(), height(), devicePixelRatioF())) {
        rendering_ = true; // resizing clears the image; the render below paints it
        canvas_.Resize(width(), height(), devicePixelRatioF());
        rendering_ = false;
        dirty_ = true;
    }
    if (!dirty_ || rendering_ || canvas_.Image().isNull()) return false;
    if (EscapeKey().Pumping()) {
        retry_.start();
        return false;
    }
    dirty_ = false;
    rendering_ = true;
    if (events_) RunGuarded("draw the view", [this] { events_->OnPortRender(index_); });
    rendering_ = false;
    return true;
}

void ViewPort::SyncCanvasSize() {
    if (canvas_.HasSize(width(), height(), devicePixelRatioF())) return;
    rendering_ = true;
    canvas_.Resize(width(), height(), devicePixelRatioF());
    rendering_ = false;
    Invalidate();
}

void ViewPort::paintEvent(QPaintEvent* event) {
    RenderIfDirty();
    QPainter painter(this);
    if (canvas_.Image().isNull()) {
        painter.fillRect(event->rect(), canvas_.BackColor);
        return;
    }
    // The image may hold more device pixels than the widget has pixels (see Canvas::Resize).
    const double ratio = canvas_.Image().devicePixelRatio();
    const QRectF source(event->rect().x() * ratio, event->rect().y() * ratio, event->rect().width() * ratio,
                        event->rect().height() * ratio);
    painter.drawImage(QRectF(event->rect()), canvas_.Image(), source);
}

void ViewPort::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    SyncCanvasSize();
}

void ViewPort::mousePressEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    if (events_)
        RunGuarded("go on with the drawing tool", [&] {
            events_->OnPortMouseDown(index_, ButtonCode(event->button()), p.x(), p.y(), ShiftBits(event->modifiers()));
        });
    event->accept();
}

void ViewPort::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    if (events_)
        RunGuarded("go on with the drawing tool", [&] {
            events_->OnPortMouseMove(index_, ButtonCodes(event->buttons()), p.x(), p.y(), ShiftBits(event->modifiers()));
        });
    event->accept();
}

void ViewPort::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    if (events_)
        RunGuarded("finish the drawing tool's work", [&] {
            events_->OnPortMouseUp(index_, ButtonCode(event->button()), p.x(), p.y(), ShiftBits(event->modifiers()));
        });
    event->accept();
}

// The second press of a quick double click is an ordinary press for the tools (the second
// press of a Bezier curve, a second click that selects).
void ViewPort::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void ViewPort::wheelEvent(QWheelEvent* event) {
    const QPointF p = event->position();
    const QPoint angle = event->angleDelta();
    if (events_)
        RunGuarded("change the view", [&] {
            events_->OnPortWheel(index_, angle.x(), angle.y(), p.x(), p.y(), ShiftBits(event->modifiers()));
        });
    event->accept();
}

void ViewPort::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (events_) events_->OnPortLeave(index_);
}

void ViewPort::keyPressEvent(QKeyEvent* event) {
    const int code = KeyCode(event->key());
    if (code == 0 || !events_) {
        event->ignore();
        return;
    }
    RunGuarded("carry out the key's command",
               [&] { events_->OnPortKeyDown(index_, code, ShiftBits(event->modifiers())); });
    event->accept();
}

bool ViewPort::event(QEvent* event) {
    // The keys of the views win over menu shortcuts while a view port has the focus: Delete
    // must end a drag before it deletes, the arrows nudge the selection of this view.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int code = KeyCode(key->key());
        const bool plain =
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
        const bool arrow =
            code == keys::Left || code == keys::Right || code == keys::Up || code == keys::Down;
        if (code != 0 && (arrow || plain)) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

} // namespace ov
