#pragma once
// The Esc key, read by long computations, and the manners of a window that is busy.

#include "platform/Desktop.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <memory>
#include <utility>
#include <vector>

class QEvent;
class QWidget;

namespace ov {

// An application event filter notes every Esc press and whether the key is down. A
// computation reads the key through ReadEscape, which lets waiting events through at most
// every kPumpInterval, so that a tight loop costs little: painting, timers and the like
// run, while user input (keys, mouse buttons, the wheel, shortcuts) is kept from starting a
// command in the middle of another. Work that has run for kBusyAfter shows the busy pointer,
// and from then on its input is dropped, as the user can see that the window is not
// listening; input to shorter work is delivered once it is over, so that typing ahead works.
// Esc itself is noted and not delivered again; a request to close a window is asked again
// when the work is over.
class QtEscapeKey : public QObject, public IEscapeKey {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kPumpInterval{50};
    static constexpr std::chrono::milliseconds kBusyAfter{300};

    QtEscapeKey();
    ~QtEscapeKey() override;

    bool ReadEscape() override;
    void Forget() override { m_pressed = m_down = false; }
    bool Pumping() const override { return m_pumping; }
    // Whether the busy pointer shows.
    bool Busy() const { return m_busy; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Pump();
    void ShowBusy();
    // The work is over when an event loop other than the pump runs: the one it returned
    // to, or a dialog it opened.
    void OnIdle();
    void ReleaseHeldBack();
    // Input arriving while the work runs, or in the moment after busy work before its end is
    // noticed: true when it was taken (held back or dropped).
    bool TakeInput(QObject* watched, QEvent* event, bool pumped);

    bool m_pressed = false; // pressed since the last reading
    bool m_down = false;
    bool m_pumping = false;
    bool m_working = false; // ReadEscape was called and no other event loop has run since
    bool m_busy = false;    // the busy pointer shows
    int m_pumpLevel = 0;    // the event-loop level the pump runs at
    int m_holdLevel = 0;    // the lowest such level of what is held back
    std::chrono::steady_clock::time_point m_workStart{}, m_lastPump{};
    QTimer m_idle;
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> m_heldBack;
    std::vector<QPointer<QWidget>> m_closeRequests;
};

} // namespace ov
