// Start-up and shut-down: what the command line asks for, the documents opened in a real
// main window, and the window placement kept in the settings.

#include "app/desktop/Startup.h"

#include "app/desktop/WindowPlacement.h"
#include "app/windows/frmDocument.h"
#include "app/windows/frmMain.h"
#include "platform/Prompt.h"
#include "scene/AppState.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

using namespace ov;

namespace {

std::vector<std::string> Paths(std::initializer_list<const char*> paths) {
    return {paths.begin(), paths.end()};
}

QStringList Captions(const frmMain& main) {
    QStringList captions;
    for (QMdiSubWindow* window : main.MdiArea()->subWindowList(QMdiArea::CreationOrder))
        captions << window->widget()->windowTitle();
    return captions;
}

} // namespace

TEST(StartupCommandLine, TheOpenSwitchInAnyCaseMeansNoUntitledDocument) {
    const QString cwd = QStringLiteral("/home/user/work");
    for (const char* dde : {"-DDE", "-dde", "-Dde"}) {
        const CommandLine alone = ReadCommandLine({QString::fromLatin1(dde)}, cwd);
        EXPECT_FALSE(alone.OpenUntitled) << dde;
        EXPECT_TRUE(alone.Files.empty()) << dde;
        const CommandLine withFile =
            ReadCommandLine({QString::fromLatin1(dde), "/tmp/a house.ovp"}, cwd);
        EXPECT_FALSE(withFile.OpenUntitled) << dde;
        EXPECT_EQ(withFile.Files, Paths({"/tmp/a house.ovp"})) << dde;
    }
    const CommandLine plain = ReadCommandLine({}, cwd);
    EXPECT_TRUE(plain.OpenUntitled);
    EXPECT_TRUE(plain.Files.empty());
    // The switch is the start of the command line, not any argument.
    EXPECT_TRUE(ReadCommandLine({"-DD", "-E"}, cwd).OpenUntitled);
    EXPECT_TRUE(ReadCommandLine({"-verbose", "-DDE"}, cwd).OpenUntitled);
}

TEST(StartupCommandLine, FilesAreMadeAbsoluteAndTakeThePlaceOfTheUntitledDocument) {
    const QString cwd = QStringLiteral("/home/user/work");
    const CommandLine files =
        ReadCommandLine({"house.ovp", "../plans/./barn.ovp", "-x", "/abs/c.ovp"}, cwd);
    EXPECT_FALSE(files.OpenUntitled);
    EXPECT_EQ(files.Files,
              Paths({"/home/user/work/house.ovp", "/home/user/plans/barn.ovp", "/abs/c.ovp"}));

    // After "--" a name starting with "-" is a file; a local URI is its path.
    const CommandLine odd =
        ReadCommandLine({"--", "-odd.ovp", "file:///tmp/with%20space.ovp"}, cwd);
    EXPECT_EQ(odd.Files, Paths({"/home/user/work/-odd.ovp", "/tmp/with space.ovp"}));

    // Options alone leave the untitled document.
    EXPECT_TRUE(ReadCommandLine({"-x", ""}, cwd).OpenUntitled);
}

class StartupWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        App().CurrentTool = ToolPick;
        App().PreviousTool = ToolPick;
        main = std::make_unique<frmMain>();
        main->resize(1000, 700);
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    }
    void TearDown() override { main.reset(); }

    RecordingPrompt prompt;
    ScopedPrompt promptScope{prompt};
    QTemporaryDir dir;
    std::unique_ptr<frmMain> main;
};

TEST_F(StartupWindowTest, AnUntitledDocumentUnlessTheOpenSwitchIsGiven) {
    OpenStartupDocuments(*main, ReadCommandLine({"-dde"}, dir.path()));
    EXPECT_TRUE(Captions(*main).isEmpty());

    OpenStartupDocuments(*main, ReadCommandLine({}, dir.path()));
    EXPECT_EQ(Captions(*main), QStringList{"Document 1"});
    ASSERT_NE(main->ActiveDocument(), nullptr);
    EXPECT_EQ(&main->ActiveDocument()->GetScene(), App().ActiveScene);
}

TEST_F(StartupWindowTest, FilesOnTheCommandLineOpenAsProjectsAndBadOnesAreReported) {
    frmDocument* first = main->NewDocument();
    ASSERT_NE(first, nullptr);
    const std::string saved = (dir.path() + "/Barn.ovp").toStdString();
    ASSERT_TRUE(first->GetScene().SaveScene(saved));
    first->parentWidget()->close();
    QCoreApplication::processEvents();
    ASSERT_TRUE(Captions(*main).isEmpty());

    OpenStartupDocuments(*main, ReadCommandLine({"-DDE", "Barn.ovp", "missing.ovp"}, dir.path()));
    EXPECT_EQ(Captions(*main), QStringList{"Barn.ovp"});
    ASSERT_EQ(prompt.Messages.size(), 1u);
    EXPECT_NE(prompt.LastText().find("Unable to load the project '" +
                                     (dir.path() + "/missing.ovp").toStdString()),
              std::string::npos);
    EXPECT_EQ(prompt.Messages.back().Icon, PromptIcon::Critical);
}

TEST_F(StartupWindowTest, BringingToFrontRestoresAMinimisedWindow) {
    main->showMinimized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(main->isMinimized());
    BringToFront(*main);
    EXPECT_FALSE(main->isMinimized());
    EXPECT_TRUE(main->isVisible());
}

// ---------------------------------------------------------------------------------------

class PlacementTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        settings =
            std::make_unique<QSettings>(dir.path() + "/Orthovane.conf", QSettings::IniFormat);
    }
    void Store(const char* key, const QVariant& value) {
        settings->setValue(QStringLiteral("Settings/") + key, value);
    }
    QString Stored(const char* key) {
        return settings->value(QStringLiteral("Settings/") + key).toString();
    }

    QTemporaryDir dir;
    std::unique_ptr<QSettings> settings;
};

TEST_F(PlacementTest, MissingAndNonsenseValuesGiveTheDefaults) {
    const WindowPlacement defaults;
    const WindowPlacement empty = ReadWindowPlacement(*settings);
    EXPECT_EQ(empty.Left, 1000);
    EXPECT_EQ(empty.Top, 1000);
    EXPECT_EQ(empty.Width, 6500);
    EXPECT_EQ(empty.Height, 6500);

    Store("MainLeft", "left edge");
    Store("MainTop", "nan");
    Store("MainWidth", "1e60"); // beyond single precision
    Store("MainHeight", " 7200,5 ");
    const WindowPlacement odd = ReadWindowPlacement(*settings);
    EXPECT_EQ(odd.Left, defaults.Left);
    EXPECT_EQ(odd.Top, defaults.Top);
    EXPECT_EQ(odd.Width, defaults.Width);
    EXPECT_EQ(odd.Height, 7200.5);

    // A window left of or above the primary screen is real; a window without size is not.
    Store("MainLeft", "-inf");
    Store("MainTop", "-345");
    Store("MainWidth", "-4");
    Store("MainHeight", "0");
    const WindowPlacement negative = ReadWindowPlacement(*settings);
    EXPECT_EQ(negative.Left, defaults.Left);
    EXPECT_EQ(negative.Top, -345);
    EXPECT_EQ(negative.Width, defaults.Width);
    EXPECT_EQ(negative.Height, defaults.Height);
}

TEST_F(PlacementTest, ValuesAreStoredAsTextOfSinglePrecisionNumbers) {
    WriteWindowPlacement(*settings, {6500, -30, 1234.56789, 0.1});
    EXPECT_EQ(Stored("MainLeft"), "6500");
    EXPECT_EQ(Stored("MainTop"), "-30");
    // Seven significant digits, as single precision holds them.
    EXPECT_NEAR(Stored("MainWidth").toDouble(), 1234.56789, 1e-3);
    EXPECT_LE(Stored("MainWidth").size(), 8);
    EXPECT_EQ(Stored("MainHeight"), "0.1");

    settings->sync();
    QSettings reread(settings->fileName(), QSettings::IniFormat);
    const WindowPlacement back = ReadWindowPlacement(reread);
    EXPECT_EQ(back.Left, 6500);
    EXPECT_EQ(back.Top, -30);
    EXPECT_NEAR(back.Width, 1234.56789, 1e-3);
}

TEST(WindowFitting, TwipsAndPixelsConvertAtTheScreenResolution) {
    const QRect inch = PlacementToPixels({1440, 2880, 1440 * 4, 1440 * 3}, 144);
    EXPECT_EQ(inch, QRect(144, 288, 576, 432));
    const WindowPlacement back = PixelsToPlacement(inch, 144);
    EXPECT_EQ(back.Left, 1440);
    EXPECT_EQ(back.Height, 1440 * 3);
    // Values from a damaged store stay within reach of int arithmetic.
    const QRect huge = PlacementToPixels({3e38, -3e38, 3e38, 3e38}, 96);
    EXPECT_GT(huge.width(), 0);
    EXPECT_GT(huge.right(), huge.left());
    EXPECT_GT(huge.bottom(), huge.top());
}

TEST(WindowFitting, AWindowEndsUpWhollyOnAScreenAtAWorkableSize) {
    const QRect screen(0, 0, 1920, 1080);
    const QList<QRect> one{screen};
    EXPECT_EQ(FitToScreens(QRect(100, 100, 1200, 760), one), QRect(100, 100, 1200, 760));
    // Off the right and bottom edges: moved back, size kept.
    EXPECT_EQ(FitToScreens(QRect(1800, 1000, 1200, 760), one), QRect(720, 320, 1200, 760));
    // Nowhere near the screen: onto it.
    EXPECT_TRUE(screen.contains(FitToScreens(QRect(-90000, 50000, 1200, 760), one)));
    // Larger than the screen: the screen.
    EXPECT_EQ(FitToScreens(QRect(-50, -50, 5000, 4000), one), screen);
    // Empty or negative sizes: a workable minimum.
    const QRect tiny = FitToScreens(QRect(10, 10, -40, 0), one);
    EXPECT_GE(tiny.width(), 1140);
    EXPECT_GE(tiny.height(), 720);
    EXPECT_TRUE(screen.contains(tiny));
    // A screen smaller than that minimum is used whole.
    EXPECT_EQ(FitToScreens(QRect(0, 0, 10, 10), {QRect(0, 0, 200, 100)}), QRect(0, 0, 200, 100));
    // No screen known: still a usable rectangle.
    EXPECT_FALSE(FitToScreens(QRect(0, 0, 0, 0), {}).isEmpty());
}

TEST(WindowFitting, TheScreenTheWindowOverlapsMostKeepsIt) {
    const QRect left(0, 0, 1920, 1080); // primary
    const QRect right(1920, 0, 1280, 1024);
    // Mostly on the second screen, partly beyond it: stays there.
    const QRect fitted = FitToScreens(QRect(2500, 100, 1200, 760), {left, right});
    EXPECT_TRUE(right.contains(fitted));
    EXPECT_EQ(fitted.size(), QSize(1200, 760));
    // Straddling, more on the primary: the primary.
    EXPECT_TRUE(left.contains(FitToScreens(QRect(1200, 100, 1200, 760), {left, right})));
    // On neither: the primary, listed first.
    EXPECT_TRUE(left.contains(FitToScreens(QRect(9000, 9000, 1200, 760), {left, right})));
}

TEST_F(PlacementTest, AWindowComesBackWhereItWasAndNotFromNonsense) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    {
        QWidget window;
        Store("MainLeft", "-9e9");
        Store("MainTop", "garbage");
        Store("MainWidth", "-5");
        Store("MainHeight", "1e30");
        RestoreWindowPlacement(window, *settings);
        const QRect placed(window.pos(), window.size());
        EXPECT_TRUE(available.contains(placed))
            << placed.x() << "," << placed.y() << " " << placed.width() << "x" << placed.height();
        EXPECT_GE(window.width(), std::min(1140, available.width()));
    }
    QWidget window;
    // A size at least the workable minimum (or the whole screen, where that is smaller).
    window.move(available.topLeft());
    window.resize(std::min(available.width(), 1200), std::min(available.height(), 760));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    SaveWindowPlacement(window, *settings);

    QWidget again;
    RestoreWindowPlacement(again, *settings);
    EXPECT_EQ(again.pos(), window.pos());
    EXPECT_EQ(again.size(), window.size());
}

TEST_F(PlacementTest, AMinimisedWindowLeavesTheStoredPlacementUnchanged) {
    WriteWindowPlacement(*settings, {1500, 1600, 9000, 7000});
    QWidget window;
    window.resize(640, 480);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.showMinimized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window.isMinimized());
    SaveWindowPlacement(window, *settings);
    EXPECT_EQ(Stored("MainLeft"), "1500");
    EXPECT_EQ(Stored("MainTop"), "1600");
    EXPECT_EQ(Stored("MainWidth"), "9000");
    EXPECT_EQ(Stored("MainHeight"), "7000");

    window.showNormal();
    QCoreApplication::processEvents();
    SaveWindowPlacement(window, *settings);
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInch();
    EXPECT_NEAR(ReadWindowPlacement(*settings).Width, 640 * kTwipsPerInch / dpi, 0.01);
}
