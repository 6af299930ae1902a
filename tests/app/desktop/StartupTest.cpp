// Start-up and shut-down: what the command line asks for, the documents opened in a real main
// window, and the window placement kept in the settings.
#include "FunctionDialogTestSupport.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QSettings>

#include "app/desktop/Startup.h"
#include "app/desktop/WindowPlacement.h"
#include "app/windows/frmDocument.h"
#include "app/windows/frmMain.h"

using namespace ov;

namespace {

using Paths = std::vector<std::string>;

QStringList Captions(const frmMain& main) {
    QStringList captions;
    for (QMdiSubWindow* window : main.MdiArea()->subWindowList(QMdiArea::CreationOrder))
        captions << window->widget()->windowTitle();
    return captions;
}

TEST(StartupCommandLine, TheOpenSwitchOrFilesTakeThePlaceOfTheUntitledDocument) {
    const struct {
        QStringList arguments;
        bool untitled;
        Paths files;
    } cases[] = {
        {{}, true, {}},
        {{"-DDE"}, false, {}},
        {{"-Dde", "/tmp/a house.ovp"}, false, {"/tmp/a house.ovp"}},
        // The switch is the start of the command line, not any argument.
        {{"-DD", "-E"}, true, {}},
        {{"-verbose", "-DDE"}, true, {}},
        {{"house.ovp", "../plans/./barn.ovp", "-x", "/abs/c.ovp"},
         false,
         {"/home/user/work/house.ovp", "/home/user/plans/barn.ovp", "/abs/c.ovp"}},
        // After "--" a name starting with "-" is a file; a local URI is its path.
        {{"--", "-odd.ovp", "file:///tmp/with%20space.ovp"}, false, {"/home/user/work/-odd.ovp", "/tmp/with space.ovp"}},
        {{"-x", ""}, true, {}}, // options alone
    };
    for (const auto& c : cases) {
        const CommandLine line = ReadCommandLine(c.arguments, "/home/user/work");
        EXPECT_EQ(line.OpenUntitled, c.untitled) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(line.Files, c.files) << c.arguments.join(' ').toStdString();
    }
}

TEST(StartupWindow, DocumentsOpenFromTheCommandLineAndBadOnesAreReported) {
    RecordingPrompt prompt;
    ScopedPrompt promptScope{prompt};
    QTemporaryDir dir;
    App().CurrentTool = App().PreviousTool = ToolPick;
    frmMain main;
    main.resize(1000, 700);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    OpenStartupDocuments(main, ReadCommandLine({"-dde"}, dir.path()));
    EXPECT_TRUE(Captions(main).isEmpty());
    OpenStartupDocuments(main, ReadCommandLine({}, dir.path()));
    EXPECT_EQ(Captions(main), QStringList{"Document 1"});
    EXPECT_EQ(&main.ActiveDocument()->GetScene(), App().ActiveScene);
    ASSERT_TRUE(main.ActiveDocument()->GetScene().SaveScene((dir.path() + "/Barn.ovp").toStdString()));
    main.ActiveDocument()->parentWidget()->close();
    QCoreApplication::processEvents();

    OpenStartupDocuments(main, ReadCommandLine({"-DDE", "Barn.ovp", "missing.ovp"}, dir.path()));
    EXPECT_EQ(Captions(main), QStringList{"Barn.ovp"});
    ASSERT_EQ(prompt.Messages.size(), 1u);
    EXPECT_EQ(prompt.LastText().rfind("Unable to load the project '" + (dir.path() + "/missing.ovp").toStdString(), 0),
              0u);
    EXPECT_EQ(prompt.Messages.back().Icon, PromptIcon::Critical);

    main.showMinimized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(main.isMinimized());
    BringToFront(main);
    EXPECT_FALSE(main.isMinimized());
}

class PlacementTest : public ::testing::Test {
protected:
    void Store(std::initializer_list<const char*> values) {
        const char* keys[] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
        int i = 0;
        for (const char* value : values) settings.setValue(QStringLiteral("Settings/") + keys[i++], value);
    }
    QString Stored(const char* key) { return settings.value(QStringLiteral("Settings/") + key).toString(); }
    std::vector<double> Read() {
        const WindowPlacement p = ReadWindowPlacement(settings);
        return {p.Left, p.Top, p.Width, p.Height};
    }

    QTemporaryDir dir;
    QSettings settings{dir.path() + "/Orthovane.conf", QSettings::IniFormat};
};

TEST_F(PlacementTest, NonsenseGivesTheDefaultsAndValuesAreStoredAsSinglePrecisionText) {
    EXPECT_EQ(Read(), (std::vector<double>{1000, 1000, 6500, 6500}));
    Store({"left edge", "nan", "1e60", " 7200,5 "}); // 1e60 is beyond single precision
    EXPECT_EQ(Read(), (std::vector<double>{1000, 1000, 6500, 7200.5}));
    // A window left of or above the primary screen is real; a window without size is not.
    Store({"-inf", "-345", "-4", "0"});
    EXPECT_EQ(Read(), (std::vector<double>{1000, -345, 6500, 6500}));

    WriteWindowPlacement(settings, {6500, -30, 1234.56789, 0.1});
    EXPECT_EQ(Stored("MainLeft") + " " + Stored("MainTop") + " " + Stored("MainHeight"), "6500 -30 0.1");
    EXPECT_LE(Stored("MainWidth").size(), 8); // seven significant digits
    settings.sync();
    QSettings reread(settings.fileName(), QSettings::IniFormat);
    EXPECT_NEAR(ReadWindowPlacement(reread).Width, 1234.56789, 1e-3);
}

TEST(WindowFitting, TwipsConvertAndAWindowEndsUpWhollyOnTheScreenItOverlapsMostAtAWorkableSize) {
    EXPECT_EQ(PlacementToPixels({1440, 2880, 1440 * 4, 1440 * 3}, 144), QRect(144, 288, 576, 432));
    EXPECT_EQ(PixelsToPlacement(QRect(144, 288, 576, 432), 144).Height, 1440 * 3);
    // Values from a damaged store stay within reach of int arithmetic.
    const QRect huge = PlacementToPixels({3e38, -3e38, 3e38, 3e38}, 96);
    EXPECT_GT(huge.width(), 0);
    EXPECT_GT(huge.bottom(), huge.top());

    const QRect left(0, 0, 1920, 1080), right(1920, 0, 1280, 1024);
    EXPECT_EQ(FitToScreens(QRect(100, 100, 1200, 760), {left}), QRect(100, 100, 1200, 760));
    EXPECT_EQ(FitToScreens(QRect(1800, 1000, 1200, 760), {left}), QRect(720, 320, 1200, 760)); // moved back
    EXPECT_TRUE(left.contains(FitToScreens(QRect(-90000, 50000, 1200, 760), {left})));
    EXPECT_EQ(FitToScreens(QRect(-50, -50, 5000, 4000), {left}), left);
    // Empty or negative sizes: a workable minimum, or a whole screen smaller than that.
    const QRect tiny = FitToScreens(QRect(10, 10, -40, 0), {left});
    EXPECT_GE(tiny.width(), 1140);
    EXPECT_GE(tiny.height(), 720);
    EXPECT_TRUE(left.contains(tiny));
    EXPECT_EQ(FitToScreens(QRect(0, 0, 10, 10), {QRect(0, 0, 200, 100)}), QRect(0, 0, 200, 100));
    EXPECT_FALSE(FitToScreens(QRect(0, 0, 0, 0), {}).isEmpty());
    // Mostly on the second screen: stays there; more on the primary or on neither: the primary.
    const QRect fitted = FitToScreens(QRect(2500, 100, 1200, 760), {left, right});
    EXPECT_TRUE(right.contains(fitted));
    EXPECT_EQ(fitted.size(), QSize(1200, 760));
    EXPECT_TRUE(left.contains(FitToScreens(QRect(1200, 100, 1200, 760), {left, right})));
    EXPECT_TRUE(left.contains(FitToScreens(QRect(9000, 9000, 1200, 760), {left, right})));
}

TEST_F(PlacementTest, AWindowComesBackWhereItWasNotFromNonsenseAndNotFromBeingMinimised) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    {
        QWidget window;
        Store({"-9e9", "garbage", "-5", "1e30"});
        RestoreWindowPlacement(window, settings);
        EXPECT_TRUE(available.contains(QRect(window.pos(), window.size())));
        EXPECT_GE(window.width(), std::min(1140, available.width()));
    }
    QWidget window;
    window.move(available.topLeft());
    window.resize(std::min(available.width(), 1200), std::min(available.height(), 760));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    SaveWindowPlacement(window, settings);
    QWidget again;
    RestoreWindowPlacement(again, settings);
    EXPECT_EQ(QRect(again.pos(), again.size()), QRect(window.pos(), window.size()));

    const QString stored = Stored("MainLeft") + Stored("MainTop") + Stored("MainWidth") + Stored("MainHeight");
    window.showMinimized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window.isMinimized());
    SaveWindowPlacement(window, settings);
    EXPECT_EQ(Stored("MainLeft") + Stored("MainTop") + Stored("MainWidth") + Stored("MainHeight"), stored);
}

} // namespace
