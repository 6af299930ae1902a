#include "app/desktop/QtEscapeKey.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QThread>
#include <QWidget>
#include <algorithm>

namespace ov {

namespace {

bool IsKey(QEvent::Type type) {
    return type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::ShortcutOverride;
}

bool IsEscape(const QEvent* event) { return static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape; }

int LoopLevel() { return QThread::currentThread()->loopLevel(); }

// Esc typed into a dialog is the dialog's: it closes it (a message box, the notes that greet a
// project), and does not ask to stop the work going on behind it.
bool ForADialog(QObject* watched) {
    const auto* widget = qobject_cast<QWidget*>(watched);
    return widget && qobject_cast<QDialog*>(widget->window());
}

bool IsInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

} // namespace

QtEscapeKey::QtEscapeKey() {
    m_idle.setSingleShot(true);
    m_idle.setInterval(kPumpInterval);
    connect(&m_idle, &QTimer::timeout, this, &QtEscapeKey::OnIdle);
    qApp->installEventFilter(this);
}

QtEscapeKey::~QtEscapeKey() {
    if (!qApp) return;
    qApp->removeEventFilter(this);
    if (m_busy) QApplication::restoreOverrideCursor();
}

bool QtEscapeKey::ReadEscape() {
    const auto now = std::chrono::steady_clock::now();
    if (!m_working) {
        // The first pump waits an interval, so that short work leaves waiting input alone.
        m_working = true;
        m_workStart = m_lastPump = now;
        m_idle.start();
    }
    if (!m_pumping && now - m_lastPump >= kPumpInterval) {
        if (!m_busy && now - m_workStart >= kBusyAfter) ShowBusy();
        Pump();
    }
    const bool escape = m_pressed || m_down;
    m_pressed = false;
    return escape;
}

void QtEscapeKey::Pump() {
    m_pumping = true;
    m_pumpLevel = LoopLevel();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    m_pumping = false;
    m_lastPump = std::chrono::steady_clock::now();
    m_idle.start(); // a timeout during the pump said nothing
}

void QtEscapeKey::ShowBusy() {
    m_busy = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_heldBack.clear(); // typed into a window that has turned out not to listen
}

void QtEscapeKey::OnIdle() {
    if (m_pumping) return; // the pump starts the timer again when it ends
    m_working = false;
    if (m_busy) {
        m_busy = false;
        QApplication::restoreOverrideCursor();
    }
    ReleaseHeldBack();
}

void QtEscapeKey::ReleaseHeldBack() {
    if (m_heldBack.empty() && m_closeRequests.empty()) return;
    // Inside a question the computation asks: the work is not over yet.
    if (LoopLevel() > m_holdLevel) {
        m_idle.start();
        return;
    }
    auto held = std::move(m_heldBack);
    auto closes = std::move(m_closeRequests);
    m_heldBack.clear();
    m_closeRequests.clear();
    for (auto& [receiver, event] : held)
        if (receiver) QCoreApplication::postEvent(receiver, event.release());
    for (const QPointer<QWidget>& window : closes)
        if (window) QTimer::singleShot(0, window, [w = window.data()] { w->close(); });
}

bool QtEscapeKey::eventFilter(QObject* watched, QEvent* event) {
    // Input counts as arriving during a computation only when it comes straight from the
    // pump; a dialog opened meanwhile runs its own loop and gets its input as usual.
    const bool pumped = m_pumping && LoopLevel() == m_pumpLevel;
    if (IsKey(event->type()) && IsEscape(event) && ForADialog(watched)) return false;
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        if (IsEscape(event)) m_pressed = m_down = true;
        return false; // only asks whether a shortcut applies; the key press follows
    case QEvent::KeyPress:
        if (IsEscape(event)) {
            m_pressed = m_down = true;
            if (pumped) return true; // it has done its work: stopping the computation
        }
        break;
    case QEvent::KeyRelease:
        if (IsEscape(event)) {
            m_down = false;
            if (pumped) return true;
        }
        break;
    case QEvent::ApplicationDeactivate:
        m_down = false; // the release goes elsewhere
        return false;
    default:
        break;
    }
    return TakeInput(watched, event, pumped);
}

bool QtEscapeKey::TakeInput(QObject* watched, QEvent* event, bool pumped) {
    // Busy work has just returned to the loop that started it: what is waiting was typed
    // while the busy pointer showed.
    const bool afterBusy = m_busy && !m_pumping && LoopLevel() == m_pumpLevel;
    if (!pumped && !afterBusy) return false;
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::TabletMove)
        return true; // the next move after the computation tells where the pointer is
    if (IsInput(event->type())) {
        if (m_busy) return true;
        m_holdLevel = m_heldBack.empty() && m_closeRequests.empty() ? m_pumpLevel : std::min(m_holdLevel, m_pumpLevel);
        m_heldBack.emplace_back(watched, std::unique_ptr<QEvent>(event->clone()));
        return true;
    }
    // Refused for now; the window is asked again, with its usual questions, afterwards. A
    // dialog that closes itself (Esc in it) may go.
    if (pumped && event->type() == QEvent::Close && watched->isWidgetType() &&
        (event->spontaneous() || !ForADialog(watched))) {
        event->ignore();
        m_holdLevel = m_heldBack.empty() && m_closeRequests.empty() ? m_pumpLevel : std::min(m_holdLevel, m_pumpLevel);
        m_closeRequests.emplace_back(static_cast<QWidget*>(watched));
        return true;
    }
    return false;
}

} // namespace ov
