#pragma once
// Driving the object property and function dialogs as the user does: typing into boxes,
// clicking buttons, and answering modal dialogs that the code under test opens itself.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/Desktop.h"

// In a namespace of their own: other widget tests have helpers of the same names.
namespace ov::testing::functiondialogs {

// Runs action on the next modal dialog of type T once it is on screen. The dialog must be
// opened (by exec) within a few seconds; otherwise the wait ends with a failure.
template <class T>
void OnNextDialog(std::function<void(T&)> action) {
    auto* timer = new QTimer(qApp);
    auto* clock = new QElapsedTimer;
    clock->start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, action] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            if (clock->elapsed() < 5000) return;
            ADD_FAILURE() << "the expected dialog did not open";
        }
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (dialog && dialog->isVisible()) action(*dialog);
    });
    timer->start();
}

// Replaces the text of a box by typing, as the user would.
inline void Type(QLineEdit* box, const QString& text) {
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

inline void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

// A click on the indicator of a check box or option button.
inline void ClickOption(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
}

// Shows a dialog without blocking, for tests that construct it themselves.
inline bool Open(QDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    return QTest::qWaitForWindowExposed(&dialog);
}

// A click on a line of a list, as the user makes it.
inline void ClickItem(QListWidget* list, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QListWidgetItem* item = list->item(row);
    ASSERT_NE(item, nullptr) << row;
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualItemRect(item).center());
}

// Answers file dialogs from a script ("" cancels) and records how they were asked.
class FileAnswers : public IFileDialog {
public:
    struct Call {
        std::string Title, DefaultExtension, Filter;
        bool Open;
    };
    std::vector<Call> Calls;
    std::deque<std::string> Answers;

    std::string Show(const std::string& title, const std::string& defaultExtension, const std::string&,
                     const std::string& filter, bool open) override {
        Calls.push_back({title, defaultExtension, filter, open});
        if (Answers.empty()) return "";
        std::string answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
};

// Closes, with a test failure, any modal dialog that stays open for seconds: one that no
// test step answers would otherwise wait for ever.
class ModalWatchdog {
public:
    ModalWatchdog() {
        timer_.setInterval(100);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal != watched_) {
                watched_ = modal;
                since_.start();
                return;
            }
            if (!modal || since_.elapsed() < 4000) return;
            ADD_FAILURE() << "an unexpected dialog stayed open: " << modal->windowTitle().toStdString();
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
            else modal->close();
        });
        timer_.start();
    }

private:
    QTimer timer_;
    QPointer<QWidget> watched_;
    QElapsedTimer since_;
};

// The Esc key: reported as pressed by every reading after the first pressAfter readings.
class ScriptedEscape : public IEscapeKey {
public:
    explicit ScriptedEscape(int pressAfter) : pressAfter_(pressAfter) {}
    bool ReadEscape() override { return ++Reads > pressAfter_; }
    int Reads = 0;

private:
    int pressAfter_;
};

// Installs an Esc key for the lifetime of the guard.
class ScopedEscape {
public:
    explicit ScopedEscape(IEscapeKey& key) { SetEscapeKey(&key); }
    ~ScopedEscape() { SetEscapeKey(nullptr); }
    ScopedEscape(const ScopedEscape&) = delete;
    ScopedEscape& operator=(const ScopedEscape&) = delete;
};

} // namespace ov::testing::functiondialogs
