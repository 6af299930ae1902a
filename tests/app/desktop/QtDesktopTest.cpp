// The desktop services on real widgets: message boxes, the file dialog, and the Esc key that
// long computations read.
#include "FunctionDialogTestSupport.h"

#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>

#include "app/desktop/QtDesktop.h"

namespace ov::testing {
namespace {

using namespace functiondialogs;

// Calls CheckAbort the way a long computation does until it says stop or time runs out.
bool ComputeUntilAborted(bool ask, int limitMs) {
    QElapsedTimer clock;
    for (clock.start(); clock.elapsed() < limitMs; QTest::qSleep(1)) // a slice of the computation between
        if (CheckAbort(ask)) return true;
    return false;
}

TEST(QtPromptTest, TheBoxShowsTextIconAndButtonsAndReturnsTheClickedOrEscapeAnswer) {
    using B = QMessageBox;
    using I = PromptIcon;
    using P = PromptButtons;
    using A = PromptAnswer;
    const struct { I icon; B::Icon boxIcon; P buttons; B::StandardButtons shown; B::StandardButton click; A answer; }
        cases[] = { // a click on NoButton is Esc: every button set's escape answer, and each answer once
            {I::Information, B::Information, P::Ok, B::Ok, B::NoButton, A::Ok},
            {I::Warning, B::Warning, P::YesNo, B::Yes | B::No, B::NoButton, A::No},
            {I::Question, B::Question, P::YesNoCancel, B::Yes | B::No | B::Cancel, B::Yes, A::Yes},
            {I::Critical, B::Critical, P::OkCancel, B::Ok | B::Cancel, B::NoButton, A::Cancel},
            {I::None, B::NoIcon, P::YesNoCancel, B::Yes | B::No | B::Cancel, B::NoButton, A::Cancel}};
    QtPrompt prompt;
    for (const auto& c : cases) {
        OnNextDialog<B>([&](B& box) {
            EXPECT_TRUE(box.icon() == c.boxIcon && box.standardButtons() == c.shown);
            EXPECT_EQ(box.windowTitle(), c.click ? "Custom title" : QApplication::applicationDisplayName());
            // CR alone and CR LF both break the line; markup is shown as written.
            EXPECT_EQ(box.text(), "Unable to load '/a/<b>.ovp':\nNo such file\nSecond");
            EXPECT_EQ(box.textFormat(), Qt::PlainText);
            if (c.click == B::NoButton) QTest::keyClick(&box, Qt::Key_Escape);
            else Click(box.button(c.click));
        });
        const std::string title = c.click ? "Custom title" : "";
        EXPECT_EQ(prompt.Show("Unable to load '/a/<b>.ovp':\rNo such file\r\nSecond", title, c.icon, c.buttons), c.answer);
    }
}

TEST(QtFileDialogTest, FiltersBecomeNameFiltersAndTheDefaultExtensionIsAddedToANameWithout) {
    const std::pair<const char*, QStringList> filters[] = {
        {"Orthovane Projects (*.ovp)|*.ovp|All Files (*.*)|*.*", {"Orthovane Projects (*.ovp)", "All Files (*)"}},
        {"Pictures|*.png; *.jpg;;|Lists (*.old)|*.fnl", {"Pictures (*.png *.jpg)", "Lists (*.fnl)"}},
        // A description without its patterns matches everything; an empty one shows its patterns.
        {"Broken", {"Broken (*)"}}, {"|*.emf", {"*.emf (*.emf)"}}, {"", {}}};
    for (const auto& [filter, expected] : filters) EXPECT_EQ(FileDialogNameFilters(filter), expected) << filter;

    QTemporaryDir dir;
    const std::string d = dir.path().toStdString();
    for (const char* name : {"/house.ovp", "/notes", "/notes.ovp"}) QFile(dir.path() + name).open(QIODevice::WriteOnly);
    const struct { std::string name, extension, result; bool open; } cases[] = {
        {"/home/a/plan", "ovp", "/home/a/plan.ovp", false},   {"/home/a/plan", ".ovp", "/home/a/plan.ovp", false},
        {"/home/a/plan.v2", "ovp", "/home/a/plan.v2", false}, {"/home/a.d/plan", "ovp", "/home/a.d/plan.ovp", false},
        {"/home/a/.plan", "ovp", "/home/a/.plan.ovp", false}, {"/home/a/plan", "", "/home/a/plan", false},
        {"", "ovp", "", false},
        // Opening: only when the name as typed does not exist and the extended one does.
        {d + "/house", "ovp", d + "/house.ovp", true},        {d + "/notes", "ovp", d + "/notes", true},
        {d + "/nothing", "ovp", d + "/nothing", true}};
    for (const auto& c : cases) EXPECT_EQ(WithDefaultExtension(c.name, c.extension, c.open), c.result) << c.name;
}

TEST(QtFileDialogTest, SavingStartsAtTheInitialFileOpeningFindsTheFileAndCancelGivesNothing) {
    QTemporaryDir dir;
    QFile(dir.path() + "/barn.ovp").open(QIODevice::WriteOnly);
    const QString canonical = QDir(dir.path()).canonicalPath();
    QtFileDialog files;
    const auto answer = [](QFileDialog& dialog, const char* typed) {
        auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(typed);
        QTest::keyClick(name, Qt::Key_Return);
    };
    OnNextDialog<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_TRUE(dialog.windowTitle() == "Export Active View" && dialog.acceptMode() == QFileDialog::AcceptSave);
        EXPECT_EQ(dialog.nameFilters(), (QStringList{"Enhanced Metafiles (*.emf)", "All Files (*)"}));
        EXPECT_EQ(QDir(dialog.directory()).canonicalPath(), canonical);
        EXPECT_EQ(dialog.findChild<QLineEdit*>("fileNameEdit")->text(), "House (Top).emf");
        answer(dialog, "drawing");
    });
    const QFileInfo saved(QString::fromStdString(files.Show("Export Active View", "emf", (dir.path() +
        "/House (Top).emf").toStdString(), "Enhanced Metafiles (*.emf)|*.emf|All Files (*.*)|*.*", false)));
    EXPECT_EQ(QDir(saved.absolutePath()).canonicalPath() + "/" + saved.fileName(), canonical + "/drawing.emf");

    OnNextDialog<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
        answer(dialog, "barn"); // the extension is found
    });
    const std::string filter = "Orthovane Projects (*.ovp)|*.ovp";
    EXPECT_EQ(QFileInfo(QString::fromStdString(files.Show("Open", "ovp", dir.path().toStdString(), filter, true)))
                  .fileName(), "barn.ovp");
    OnNextDialog<QFileDialog>([](QFileDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_EQ(files.Show("Open Project", "ovp", "", filter, true), "");
}

TEST(QtFileDialogTest, ASaveDialogWithFileTypesStartsAtOneAndFollowsTheTypeChosen) {
    QTemporaryDir dir;
    const std::string filter = "Enhanced Metafiles (*.emf)|*.emf|SVG Documents (*.svg)|*.svg|PDF Documents|*.pdf;*.PDF";
    OnNextDialog<QFileDialog>([&](QFileDialog& dialog) {
        auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
        EXPECT_EQ(dialog.selectedNameFilter() + " " + name->text(), "SVG Documents (*.svg) House (Top).svg");
        Choose(dialog.findChild<QComboBox*>("fileTypeCombo"), "PDF Documents (*.pdf *.PDF)");
        EXPECT_EQ(name->text() + " " + dialog.defaultSuffix(), "House (Top).pdf pdf");
        name->setText("plan");
        QTest::keyClick(name, Qt::Key_Return);
    });
    QtFileDialog files;
    const SaveChoice choice = files.ShowSave("Export", dir.path().toStdString() + "/House (Top).svg", filter, 1);
    EXPECT_EQ(QFileInfo(QString::fromStdString(choice.Path)).fileName() + " " + QString::number(choice.FilterIndex),
              "plan.pdf 2");
}

TEST(QtFileDialogTest, ADialogThatCannotTellTheTypeChosenHasItFoundByTheExtension) {
    struct Answer : IFileDialog {
        std::string Path, Extension;
        std::string Show(const std::string&, const std::string& extension, const std::string&, const std::string&,
                         bool) override {
            return Extension = extension, Path;
        }
    } dialog;
    const std::string filter = "A (*.a)|*.a|B|*.b;*.bb|All Files|*.*";
    for (const auto& [path, index] : std::vector<std::pair<std::string, int>>{{"x.BB", 1}, {"x.a", 0}, {"x.c", 2}}) {
        dialog.Path = path;
        const SaveChoice choice = dialog.ShowSave("t", "", filter, 2);
        EXPECT_EQ(choice.Path + " " + std::to_string(choice.FilterIndex) + dialog.Extension, path + " " +
                  std::to_string(index)) << path; // "*.*" gives no extension
    }
    EXPECT_EQ(FilterExtension(filter, 1), "b");
}

// A widget that counts the keys it receives.
struct KeyCounter : QWidget {
    int Escapes = 0, Others = 0;
    void keyPressEvent(QKeyEvent* event) override { ++(event->key() == Qt::Key_Escape ? Escapes : Others); }
};

class EscapeKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        widget.resize(200, 100);
        ASSERT_TRUE(Open(widget));
        widget.setFocus();
        while (EscapeKey().ReadEscape()) QTest::qWait(60); // no press left from before
    }
    void PressEscAfter(int ms) {
        QTimer::singleShot(ms, &widget, [this] { QTest::keyClick(&widget, Qt::Key_Escape); });
    }

    QtDesktopServices services;
    RecordingPrompt prompt;
    ScopedPrompt promptScope{prompt};
    KeyCounter widget;
};

TEST_F(EscapeKeyTest, ARealEscPressStopsALongComputationAndAskingLetsTheUserCarryOn) {
    EXPECT_FALSE(ComputeUntilAborted(false, 200)); // no key, no stop
    PressEscAfter(100);
    EXPECT_TRUE(ComputeUntilAborted(false, 5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(widget.Escapes, 0); // not handed on as well
    EXPECT_FALSE(CheckAbort(false)); // reading clears it

    prompt.Answers = {PromptAnswer::No, PromptAnswer::Yes};
    PressEscAfter(50);
    PressEscAfter(250);
    EXPECT_TRUE(ComputeUntilAborted(true, 5000));
    ASSERT_EQ(prompt.Messages.size(), 2u); // the first press was answered No
    // Esc typed into a dialog closes it and leaves the work behind it alone.
    QDialog notes;
    ASSERT_TRUE(Open(notes));
    QTimer::singleShot(100, &notes, [&notes] { QTest::keyClick(&notes, Qt::Key_Escape); });
    EXPECT_FALSE(ComputeUntilAborted(true, 300));
    EXPECT_FALSE(notes.isVisible());
    EXPECT_EQ(prompt.Messages.size(), 2u);
    EXPECT_EQ(prompt.Messages[0].Text, "Do you want to abort the current operation?");
    EXPECT_TRUE(prompt.Messages[0].Icon == PromptIcon::Warning && prompt.Messages[0].Buttons == PromptButtons::YesNo);

    // Outside a computation Esc reaches the widget and is noted once; held down, it keeps
    // answering until released.
    ASSERT_TRUE(QTest::qWaitFor([this] { return !services.EscapeKey().Busy(); })); // the work is seen to be over
    QTest::keyClick(&widget, Qt::Key_Escape);
    EXPECT_EQ(widget.Escapes, 1);
    EXPECT_TRUE(EscapeKey().ReadEscape());
    EXPECT_FALSE(EscapeKey().ReadEscape());
    QTest::keyPress(&widget, Qt::Key_Escape);
    QTest::qWait(60);
    EXPECT_TRUE(EscapeKey().ReadEscape() && EscapeKey().ReadEscape());
    // An operation that starts now ignores the key, even if its release never arrives.
    BeginAbortableOperation();
    EXPECT_FALSE(EscapeKey().ReadEscape());
    QTest::keyPress(&widget, Qt::Key_Escape);
    EXPECT_TRUE(EscapeKey().ReadEscape());
    QTest::keyRelease(&widget, Qt::Key_Escape);
    EXPECT_FALSE(EscapeKey().ReadEscape());
}

TEST_F(EscapeKeyTest, EventsGoThroughAtABoundedRateInputToShortWorkWaitsAndBusyWorkDropsIt) {
    int turns = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&turns] { ++turns; });
    ticker.start(0);
    EXPECT_FALSE(ComputeUntilAborted(false, 500));
    ticker.stop();
    EXPECT_GE(turns, 1);
    EXPECT_LE(turns, 12); // every 50 ms at most: about ten in half a second
    ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::overrideCursor(); }));

    QPushButton button("Delete everything");
    QWidget window;
    ASSERT_TRUE(Open(button) && Open(window));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&clicks] { ++clicks; });
    const auto input = [&](int ms) {
        QTimer::singleShot(ms, &button, [&] {
            QTest::mouseClick(&button, Qt::LeftButton);
            QTest::keyClick(&widget, Qt::Key_A);
        });
    };
    // Work shorter than the busy delay: its input and a request to close arrive once it is over.
    input(100);
    QTimer::singleShot(100, &window, [&window] { window.close(); });
    int heldBack = -1;
    QTimer::singleShot(200, &button, [&] { heldBack = clicks + widget.Others + !window.isVisible(); });
    EXPECT_FALSE(ComputeUntilAborted(false, 250));
    EXPECT_EQ(heldBack, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return clicks == 1 && widget.Others == 1 && !window.isVisible(); }));

    // Busy work shows the busy pointer and drops what is typed and clicked, before the pointer
    // showed and after; then the pointer comes back.
    Qt::CursorShape shown = Qt::ArrowCursor;
    QTimer::singleShot(400, &button, [&shown] {
        if (const QCursor* cursor = QApplication::overrideCursor()) shown = cursor->shape();
    });
    input(100);
    input(450);
    EXPECT_FALSE(ComputeUntilAborted(false, 600));
    QTest::mouseClick(&button, Qt::LeftButton); // waiting when the work ends
    EXPECT_EQ(shown, Qt::WaitCursor);
    ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::overrideCursor(); }));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(widget.Others, 1);
    QTest::keyClick(&widget, Qt::Key_A);
    EXPECT_EQ(widget.Others, 2);

    // A dialog opened during a computation takes its input.
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

} // namespace
} // namespace ov::testing
