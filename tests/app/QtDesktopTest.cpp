// The desktop services on real widgets: message boxes, the file dialog, and the Esc key that
// long computations read.

#include "app/desktop/QtDesktop.h"

#include "platform/Desktop.h"
#include "platform/Prompt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace ov;

namespace {

// Runs check on the modal dialog of type T once it is up, while the caller's exec runs.
template <typename T> void WhenModal(std::function<void(T*)> check) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, check] {
        if (T* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            check(dialog);
        }
    });
    poll->start();
}

// Calls CheckAbort the way a long computation does until it says stop or time runs out;
// whether it said stop.
bool ComputeUntilAborted(bool ask, int limitMs) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < limitMs) {
        if (CheckAbort(ask)) return true;
        QTest::qSleep(1); // a slice of the computation
    }
    return false;
}

// A widget that counts the keys it receives.
class KeyCounter : public QWidget {
public:
    int Escapes = 0;
    int Others = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        ++(event->key() == Qt::Key_Escape ? Escapes : Others);
    }
};

} // namespace

// ---------------------------------------------------------------------------------------
// Messages

TEST(QtPromptTest, TheBoxShowsTheTextIconAndButtonsAndReturnsTheClickedOne) {
    struct Case {
        PromptIcon Icon;
        QMessageBox::Icon BoxIcon;
        PromptButtons Buttons;
        QMessageBox::StandardButtons Expected;
        QMessageBox::StandardButton Click;
        PromptAnswer Answer;
    };
    const Case cases[] = {
        {PromptIcon::Information, QMessageBox::Information, PromptButtons::Ok, QMessageBox::Ok,
         QMessageBox::Ok, PromptAnswer::Ok},
        {PromptIcon::Warning, QMessageBox::Warning, PromptButtons::YesNo,
         QMessageBox::Yes | QMessageBox::No, QMessageBox::No, PromptAnswer::No},
        {PromptIcon::Question, QMessageBox::Question, PromptButtons::YesNoCancel,
         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
         PromptAnswer::Yes},
        {PromptIcon::Critical, QMessageBox::Critical, PromptButtons::OkCancel,
         QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel, PromptAnswer::Cancel},
        {PromptIcon::None, QMessageBox::NoIcon, PromptButtons::YesNoCancel,
         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No,
         PromptAnswer::No},
    };
    QtPrompt prompt;
    for (const Case& c : cases) {
        bool seen = false;
        WhenModal<QMessageBox>([&](QMessageBox* box) {
            seen = true;
            EXPECT_EQ(box->icon(), c.BoxIcon);
            EXPECT_EQ(box->standardButtons(), c.Expected);
            EXPECT_EQ(box->windowTitle(), "Custom title");
            QTest::mouseClick(box->button(c.Click), Qt::LeftButton);
        });
        EXPECT_EQ(prompt.Show("Question?", "Custom title", c.Icon, c.Buttons), c.Answer);
        EXPECT_TRUE(seen);
    }
}

TEST(QtPromptTest, LineBreaksTextAsWrittenAndTheEscapeAnswers) {
    QtPrompt prompt;
    WhenModal<QMessageBox>([](QMessageBox* box) {
        // CR alone and CR LF both break the line; markup is shown as written.
        EXPECT_EQ(box->text(), "Unable to load the project '/a/<b>.ovp':\nNo such file\nSecond");
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->windowTitle(), QApplication::applicationDisplayName());
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(prompt.Show("Unable to load the project '/a/<b>.ovp':\rNo such file\r\nSecond", "",
                          PromptIcon::Critical, PromptButtons::Ok),
              PromptAnswer::Ok);

    const std::pair<PromptButtons, PromptAnswer> escapes[] = {
        {PromptButtons::YesNo, PromptAnswer::No},
        {PromptButtons::YesNoCancel, PromptAnswer::Cancel},
        {PromptButtons::OkCancel, PromptAnswer::Cancel}};
    for (const auto& [buttons, answer] : escapes) {
        WhenModal<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
        EXPECT_EQ(prompt.Show("Sure?", "", PromptIcon::Question, buttons), answer);
    }
}

// ---------------------------------------------------------------------------------------
// File dialog

TEST(QtFileDialogTest, FiltersBecomeNameFiltersWithTheirRealPatterns) {
    EXPECT_EQ(FileDialogNameFilters("Orthovane Projects (*.ovp)|*.ovp|All Files (*.*)|*.*"),
              (QStringList{"Orthovane Projects (*.ovp)", "All Files (*)"}));
    EXPECT_EQ(FileDialogNameFilters("Pictures|*.png; *.jpg;;|Lists (*.old)|*.fnl"),
              (QStringList{"Pictures (*.png *.jpg)", "Lists (*.fnl)"}));
    // A description without its patterns matches everything; an empty one shows its patterns.
    EXPECT_EQ(FileDialogNameFilters("Broken"), QStringList{"Broken (*)"});
    EXPECT_EQ(FileDialogNameFilters("|*.emf"), QStringList{"*.emf (*.emf)"});
    EXPECT_TRUE(FileDialogNameFilters("").isEmpty());
}

TEST(QtFileDialogTest, TheDefaultExtensionIsAddedOnlyToANameWithout) {
    EXPECT_EQ(WithDefaultExtension("/home/a/plan", "ovp", false), "/home/a/plan.ovp");
    EXPECT_EQ(WithDefaultExtension("/home/a/plan", ".ovp", false), "/home/a/plan.ovp");
    EXPECT_EQ(WithDefaultExtension("/home/a/plan.v2", "ovp", false), "/home/a/plan.v2");
    EXPECT_EQ(WithDefaultExtension("/home/a.d/plan", "ovp", false), "/home/a.d/plan.ovp");
    EXPECT_EQ(WithDefaultExtension("/home/a/.plan", "ovp", false), "/home/a/.plan.ovp");
    EXPECT_EQ(WithDefaultExtension("/home/a/plan", "", false), "/home/a/plan");
    EXPECT_EQ(WithDefaultExtension("", "ovp", false), "");

    // Opening: only when the name as typed does not exist and the extended one does.
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString();
    QFile(dir.path() + "/house.ovp").open(QIODevice::WriteOnly);
    QFile(dir.path() + "/notes").open(QIODevice::WriteOnly);
    QFile(dir.path() + "/notes.ovp").open(QIODevice::WriteOnly);
    EXPECT_EQ(WithDefaultExtension(base + "/house", "ovp", true), base + "/house.ovp");
    EXPECT_EQ(WithDefaultExtension(base + "/notes", "ovp", true), base + "/notes");
    EXPECT_EQ(WithDefaultExtension(base + "/nothing", "ovp", true), base + "/nothing");
}

TEST(QtFileDialogTest, SavingAddsTheExtensionAndStartsAtTheInitialFile) {
    QTemporaryDir dir;
    QtFileDialog files;
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Export Active View");
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog->nameFilters(),
                  (QStringList{"Enhanced Metafiles (*.emf)", "All Files (*)"}));
        EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text(), "House (Top).emf");
        name->setText("drawing");
        QTest::keyClick(name, Qt::Key_Return);
    });
    const std::string chosen =
        files.Show("Export Active View", "emf", (dir.path() + "/House (Top).emf").toStdString(),
                   "Enhanced Metafiles (*.emf)|*.emf|All Files (*.*)|*.*", false);
    const QFileInfo file(QString::fromStdString(chosen));
    EXPECT_EQ(QDir(file.absolutePath()).canonicalPath().toStdString(),
              QDir(dir.path()).canonicalPath().toStdString());
    EXPECT_EQ(file.fileName().toStdString(), "drawing.emf");
}

TEST(QtFileDialogTest, OpeningFindsTheFileAndCancellingGivesNothing) {
    QTemporaryDir dir;
    QFile(dir.path() + "/barn.ovp").open(QIODevice::WriteOnly);
    QtFileDialog files;
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText("barn"); // the extension is found
        QTest::keyClick(name, Qt::Key_Return);
    });
    const std::string chosen =
        files.Show("Open Project", "ovp", dir.path().toStdString(),
                   "Orthovane Projects (*.ovp)|*.ovp|All Files (*.*)|*.*", true);
    EXPECT_EQ(QFileInfo(QString::fromStdString(chosen)).fileName(), "barn.ovp");

    WhenModal<QFileDialog>([](QFileDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    EXPECT_EQ(files.Show("Open Project", "ovp", "", "Orthovane Projects (*.ovp)|*.ovp", true), "");
}

// ---------------------------------------------------------------------------------------
// Esc key

class EscapeKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        widget.resize(200, 100);
        widget.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
        widget.activateWindow();
        widget.setFocus();
        while (EscapeKey().ReadEscape())
            QTest::qWait(60); // no press left from before
    }

    QtDesktopServices services;
    RecordingPrompt prompt;
    ScopedPrompt promptScope{prompt};
    KeyCounter widget;
};

TEST_F(EscapeKeyTest, ARealEscPressStopsALongComputation) {
    EXPECT_FALSE(ComputeUntilAborted(false, 200)); // no key, no stop

    QTimer::singleShot(100, &widget, [this] { QTest::keyClick(&widget, Qt::Key_Escape); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(ComputeUntilAborted(false, 5000));
    EXPECT_GE(clock.elapsed(), 90);
    // The press stopped the computation and is not handed on as well.
    QCoreApplication::processEvents();
    EXPECT_EQ(widget.Escapes, 0);
    // Reading clears it.
    EXPECT_FALSE(CheckAbort(false));
}

TEST_F(EscapeKeyTest, AskingLetsTheUserCarryOn) {
    prompt.Answers = {PromptAnswer::No, PromptAnswer::Yes};
    QTimer::singleShot(50, &widget, [this] { QTest::keyClick(&widget, Qt::Key_Escape); });
    QTimer::singleShot(250, &widget, [this] { QTest::keyClick(&widget, Qt::Key_Escape); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(ComputeUntilAborted(true, 5000));
    EXPECT_GE(clock.elapsed(), 240); // the first press was answered No
    ASSERT_EQ(prompt.Messages.size(), 2u);
    EXPECT_EQ(prompt.Messages[0].Text, "Do you want to abort the current operation?");
    EXPECT_EQ(prompt.Messages[0].Icon, PromptIcon::Warning);
    EXPECT_EQ(prompt.Messages[0].Buttons, PromptButtons::YesNo);
}

TEST_F(EscapeKeyTest, EscOutsideAComputationReachesTheWidgetAndIsNotedOnce) {
    QTest::keyClick(&widget, Qt::Key_Escape);
    EXPECT_EQ(widget.Escapes, 1);
    EXPECT_TRUE(EscapeKey().ReadEscape());
    EXPECT_FALSE(EscapeKey().ReadEscape());

    // Held down, it keeps answering until released.
    QTest::keyPress(&widget, Qt::Key_Escape);
    QTest::qWait(60);
    EXPECT_TRUE(EscapeKey().ReadEscape());
    QTest::qWait(60);
    EXPECT_TRUE(EscapeKey().ReadEscape());
    // An operation that starts now ignores the key, even if its release never arrives.
    BeginAbortableOperation();
    EXPECT_FALSE(EscapeKey().ReadEscape());
    QTest::keyPress(&widget, Qt::Key_Escape);
    EXPECT_TRUE(EscapeKey().ReadEscape());
    QTest::keyRelease(&widget, Qt::Key_Escape);
    EXPECT_FALSE(EscapeKey().ReadEscape());
}

TEST_F(EscapeKeyTest, EventsGoThroughAtABoundedRate) {
    int turns = 0;
    QTimer ticker;
    ticker.setInterval(0);
    QObject::connect(&ticker, &QTimer::timeout, [&turns] { ++turns; });
    ticker.start();
    EXPECT_FALSE(ComputeUntilAborted(false, 500));
    ticker.stop();
    // Every 50 ms at most: about ten turns in half a second, at least one.
    EXPECT_GE(turns, 1);
    EXPECT_LE(turns, 12);
}

TEST_F(EscapeKeyTest, InputDuringAComputationWaitsUntilItIsOver) {
    QPushButton button("Delete everything");
    button.resize(150, 40);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&clicks] { ++clicks; });
    int clicksDuring = -1;
    int keysDuring = -1;
    QTimer::singleShot(60, &button, [&] {
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::keyClick(&widget, Qt::Key_A);
    });
    QTimer::singleShot(200, &button, [&] {
        clicksDuring = clicks;
        keysDuring = widget.Others;
    });
    EXPECT_FALSE(ComputeUntilAborted(false, 400));
    EXPECT_EQ(clicksDuring, 0);
    EXPECT_EQ(keysDuring, 0);
    // Afterwards each arrives once, in order.
    ASSERT_TRUE(QTest::qWaitFor([&] { return clicks == 1; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return widget.Others == 1; }));
    QTest::qWait(100);
    EXPECT_EQ(clicks, 1);
}

TEST_F(EscapeKeyTest, AWindowClosedDuringAComputationClosesAfterwards) {
    QWidget window;
    window.resize(100, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    bool visibleDuring = false;
    QTimer::singleShot(60, &window, [&window] { window.close(); });
    QTimer::singleShot(200, &window, [&] { visibleDuring = window.isVisible(); });
    EXPECT_FALSE(ComputeUntilAborted(false, 300));
    EXPECT_TRUE(visibleDuring);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }));
}

TEST_F(EscapeKeyTest, ADialogOpenedDuringAComputationTakesItsInput) {
    bool answered = false;
    QTimer::singleShot(60, &widget, [&answered] {
        QDialog dialog;
        auto* ok = new QPushButton("OK", &dialog);
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        QTimer::singleShot(50, ok, [ok] { QTest::mouseClick(ok, Qt::LeftButton); });
        QTimer::singleShot(3000, &dialog, &QDialog::reject); // not answered: give up
        answered = dialog.exec() == QDialog::Accepted;
    });
    EXPECT_FALSE(ComputeUntilAborted(false, 300));
    EXPECT_TRUE(answered);
}
