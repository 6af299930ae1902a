#pragma once
// Driving dialogs as the user does: typing into boxes, clicking buttons and list lines, and
// answering modal dialogs that the code under test opens itself.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/Desktop.h"
#include "platform/Prompt.h"
#include "scene/AppState.h"
#include "scene/clsScene.h"

// In a namespace of their own: other widget tests have helpers of the same names.
namespace ov::testing::functiondialogs {

// Runs action on the next modal dialog of type T once it is on screen; fails when none opens
// within a thousand looks, five milliseconds apart at the least.
template <class T>
void OnNextDialog(std::function<void(T&)> action) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action, looks = 0]() mutable {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            if (++looks < 1000) return;
            ADD_FAILURE() << "the expected dialog did not open";
        }
        timer->stop();
        timer->deleteLater();
        if (dialog && dialog->isVisible()) action(*dialog);
    });
    timer->start();
}

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
inline bool Open(QWidget& dialog) {
    dialog.show();
    dialog.activateWindow();
    return QTest::qWaitForWindowExposed(&dialog);
}
// Makes a new D from args in holder, after the one it held is gone, and shows it.
template <class D, class... Args>
D& OpenNew(std::unique_ptr<D>& holder, Args&&... args) {
    holder.reset();
    holder = std::make_unique<D>(std::forward<Args>(args)...);
    EXPECT_TRUE(Open(*holder));
    return *holder;
}
inline void ClickItem(QListWidget* list, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QListWidgetItem* item = list->item(row);
    ASSERT_NE(item, nullptr) << row;
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualItemRect(item).center());
}
// Picks an entry of a drop-down list with the keyboard: Home, then Down.
inline void Choose(QComboBox* list, const QString& entry) {
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = list->findText(entry); i > 0; --i) QTest::keyClick(list, Qt::Key_Down);
    ASSERT_EQ(list->currentText(), entry);
}
inline bool LabelEnabled(const QWidget& dialog, const char* caption) {
    for (QLabel* label : dialog.findChildren<QLabel*>())
        if (label->text() == caption) return label->isEnabled();
    ADD_FAILURE() << "no label " << caption;
    return false;
}
// Presses OK: "" when the dialog closed, otherwise the one critical message it gave while staying open.
inline std::string PressOk(RecordingPrompt& prompt, QWidget& dialog, QAbstractButton* ok) {
    prompt.Messages.clear();
    Click(ok);
    if (!dialog.isVisible()) return prompt.Messages.empty() ? "" : "closed after: " + prompt.LastText();
    EXPECT_EQ(prompt.Messages.size(), 1u);
    if (prompt.Messages.empty()) return "?";
    EXPECT_EQ(prompt.Messages[0].Icon, PromptIcon::Critical);
    return prompt.LastText();
}

// Numbers as the dialogs show them, separated by blanks.
inline std::string Numbers(std::initializer_list<double> values) {
    std::string text;
    for (double v : values) text += (text.empty() ? "" : " ") + FormatNumber(v);
    return text;
}

// Typing into and reading a dialog whose boxes are found by name with Field(name).
template <class Dialog>
struct NamedFields {
    std::unique_ptr<Dialog> dialog;
    void Set(std::initializer_list<std::pair<const char*, const char*>> typed) {
        for (const auto& [name, text] : typed) Type(dialog->Field(name), text);
    }
    void Tick(const char* name) { ClickOption(dialog->template findChild<QCheckBox*>(name)); }
    std::string Shown(const char* name) const { return dialog->Field(name)->text().toStdString(); }
    bool Enabled(const char* name) const { return dialog->Field(name)->isEnabled(); }
};

// A scene function: its declaration and its formula.
inline clsFncDef Definition(const char* header, const char* body) {
    clsFncDef def;
    def.ParseName(header);
    def.Body = body;
    return def;
}

// Adds object at the top of the scene's tree and selects it, without an undo step, and leaves
// the scene unmodified.
template <class T>
T& AddSelected(clsScene& scene, std::int32_t type, std::unique_ptr<T> object) {
    T& added = *object;
    auto node = clsTreeManager::CreateNode(type);
    node->Object = std::move(object);
    scene.TreeManager.SelectNodeByKey(scene.TreeManager.AddNode(std::move(node))->Key, false);
    scene.OnClean();
    return added;
}

// Answers file dialogs from a script ("" cancels) and records how they were asked. A save
// dialog with a list of file types takes its choice from Filters (the initial one when empty).
class FileAnswers : public IFileDialog {
public:
    struct Call { std::string Title, DefaultExtension, InitialFileName; bool Open; int InitialFilter = -1; };
    std::vector<Call> Calls;
    std::deque<std::string> Answers;
    std::deque<int> Filters;

    std::string Show(const std::string& title, const std::string& extension, const std::string& initialFileName,
                     const std::string&, bool open) override {
        Calls.push_back({title, extension, initialFileName, open});
        return Next(Answers, std::string());
    }
    SaveChoice ShowSave(const std::string& title, const std::string& initialFileName, const std::string& filter,
                        int initialFilter) override {
        Calls.push_back({title, FilterExtension(filter, initialFilter), initialFileName, false, initialFilter});
        std::string path = Next(Answers, std::string());
        return {std::move(path), Next(Filters, initialFilter)};
    }

private:
    template <class T>
    static T Next(std::deque<T>& script, T fallback) {
        if (script.empty()) return fallback;
        T answer = std::move(script.front());
        script.pop_front();
        return answer;
    }
};

inline QByteArray FileBytes(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Closes, with a test failure, any modal dialog found open at two looks four seconds apart:
// one that no test step answers would otherwise wait for ever.
class ModalWatchdog {
public:
    ModalWatchdog() {
        timer_.setInterval(4000);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal != std::exchange(watched_, modal)) return;
            ADD_FAILURE() << "an unexpected dialog stayed open: " << modal->windowTitle().toStdString();
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
            else modal->close();
        });
        timer_.start();
    }

private:
    QTimer timer_;
    QPointer<QWidget> watched_;
};

// A scene of its own made the active one, its messages and file dialogs answered by the
// test, and any dialog that no step answers closed.
class SceneDialogTest : public ::testing::Test {
protected:
    SceneDialogTest() {
        App().ActiveScene = &scene;
        SetFileDialog(&files);
    }
    ~SceneDialogTest() override {
        SetFileDialog(nullptr);
        App().ActiveScene = App().DialogScene = nullptr;
    }

    clsScene scene;
    RecordingPrompt prompt;
    ScopedPrompt promptGuard{prompt};
    FileAnswers files;
    QTemporaryDir folder;
    ModalWatchdog watchdog;
};

} // namespace ov::testing::functiondialogs
