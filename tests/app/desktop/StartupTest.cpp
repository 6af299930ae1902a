// Start-up and shut-down: what the command line asks for, the documents opened in a real main
// window from it and from later starts, and the window placement kept in the settings.
#include "MainWindowTestSupport.h"

#include <fstream>

#include <QScreen>
#include <QSettings>
#include <sys/stat.h>

#include "app/desktop/SingleInstance.h"
#include "app/desktop/Startup.h"
#include "app/desktop/WindowPlacement.h"

namespace ov::testing {
namespace {

TEST(StartupCommandLine, TheOpenSwitchOrFilesTakeThePlaceOfTheUntitledDocument) {
    const struct { QStringList arguments; bool untitled; std::vector<std::string> files; } cases[] = {
        {{}, true, {}}, {{"-DDE"}, false, {}}, {{"-DdEx"}, false, {}},
        {{"-Dde", "/tmp/a house.ovp"}, false, {"/tmp/a house.ovp"}},
        // The switch is the start of the command line, not any argument.
        {{"-DD", "-E"}, true, {}}, {{"-verbose", "-DDE"}, true, {}}, {{"", "-DDE"}, true, {}},
        {{"house.ovp", "../plans/./barn.ovp", "-x", "/abs/c.ovp"}, false,
         {"/home/user/work/house.ovp", "/home/user/plans/barn.ovp", "/abs/c.ovp"}},
        // After "--" a name starting with "-" is a file; a local URI is its path.
        {{"--", "-odd.ovp", "file:///tmp/with%20space.ovp"}, false, {"/home/user/work/-odd.ovp", "/tmp/with space.ovp"}},
        {{"-x", ""}, true, {}}, // options alone
    };
    for (const auto& c : cases) {
        const CommandLine line = ReadCommandLine(c.arguments, "/home/user/work");
        EXPECT_TRUE(line.OpenUntitled == c.untitled && line.Files == c.files) << c.arguments.join(' ').toStdString();
    }
}

TEST(StartupCommandLine, NamesThatAreNotUtf8AreFoundByTheirBytes) {
    // A Latin-1 folder and file, and two names that show alike; Qt shows each stray byte as U+FFFD.
    QTemporaryDir temp;
    const std::string dir = QFile::encodeName(temp.path()).toStdString(), folder = dir + "/Pl\xe4ne";
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    for (const char* name : {"/caf\xe9.ovp", "/twin\xe8.ovp", "/twin\xe9.ovp", "/plain.ovp"})
        std::ofstream(folder + name) << "x";
    const QString shown = QFile::decodeName(QByteArray::fromStdString(folder));
    const struct { std::string argument, path; } cases[] = {
        {"/caf\xe9.ovp", folder + "/caf\xe9.ovp"}, {"/plain.ovp", folder + "/plain.ovp"},
        {"/twin\xe8.ovp", folder + "/twin\xEF\xBF\xBD.ovp"}, // two files show so: neither is taken
        {"/new\xe9.ovp", folder + "/new\xEF\xBF\xBD.ovp"}};   // no such file: as shown, in the folder found
    for (const auto& c : cases) {
        const QString argument = shown + QFile::decodeName(QByteArray::fromStdString(c.argument));
        EXPECT_EQ(ReadCommandLine({argument}, "/").Files, std::vector<std::string>{c.path}) << c.argument;
    }
}

using StartupWindowTest = MainWindowFixture;

TEST_F(StartupWindowTest, CommandLinesAndLaterStartsOpenTheirDocumentsAndBadOnesAreReported) {
    const std::string barn = TempPath("Barn.ovp"), missing = TempPath("missing.ovp"), shed = TempPath("Shed.ovp");
    ASSERT_TRUE(Scene().SaveScene(barn) && QFile::copy(QString::fromStdString(barn), QString::fromStdString(shed)));
    CloseActive();
    OpenStartupDocuments(*main, ReadCommandLine({"-dde"}, dir.path()));
    EXPECT_EQ(DocumentCount(), 0);
    OpenStartupDocuments(*main, ReadCommandLine({}, dir.path()));
    EXPECT_TRUE(DocumentCount() == 1 && App().ActiveScene == &Scene() && Scene().FileName.empty());
    CloseActive();
    OpenStartupDocuments(*main, ReadCommandLine({"-DDE", "Barn.ovp", "missing.ovp"}, dir.path()));
    EXPECT_TRUE(DocumentCount() == 1 && main->ActiveDocument()->windowTitle() == "Barn.ovp");
    ASSERT_EQ(prompt.Messages.size(), 1u);
    EXPECT_EQ(prompt.LastText().rfind("Unable to load the project '" + missing + "':", 0), 0u); // icon: SceneFileTest

    // A later start hands its files over: they open and the window comes forward. A file that
    // cannot be read (missing; an empty name, which asks for no untitled document; a pipe no
    // one writes to) is reported by the loader and opens nothing, nor holds up the files after.
    const QString name = dir.path() + "/instance";
    ASSERT_NE(ServeOpenCommands(*main, name), nullptr);
    CloseActive();
    main->showMinimized();
    ASSERT_TRUE(SendToRunningInstance(name, {barn}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return DocumentCount() == 1; }));
    EXPECT_TRUE(Scene().FileName == barn && main->ActiveDocument()->windowTitle() == "Barn.ovp");
    EXPECT_FALSE(main->isMinimized());
    const std::string pipe = TempPath("pipe"), folder = dir.path().toStdString();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::size_t before = prompt.Messages.size();
    ASSERT_TRUE(SendToRunningInstance(name, {missing, "", pipe, "/dev/zero", folder, shed}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return DocumentCount() == 2; }));
    std::string reported;
    for (std::size_t i = before; i < prompt.Messages.size(); ++i) reported += prompt.Messages[i].Text + "\n";
    const std::string unable = "Unable to load the project '", notRegular = "':\rnot a regular file\n";
    EXPECT_EQ(reported, unable + missing + "':\rNo such file or directory\n" + unable + "':\rNo such file or directory\n" +
                            unable + pipe + notRegular + unable + "/dev/zero" + notRegular + unable + folder + notRegular);
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
    EXPECT_TRUE(huge.width() > 0 && huge.bottom() > huge.top());

    const QRect left(0, 0, 1920, 1080), right(1920, 0, 1280, 1024);
    EXPECT_EQ(FitToScreens(QRect(100, 100, 1200, 760), {left}), QRect(100, 100, 1200, 760));
    EXPECT_EQ(FitToScreens(QRect(1800, 1000, 1200, 760), {left}), QRect(720, 320, 1200, 760)); // moved back
    EXPECT_TRUE(left.contains(FitToScreens(QRect(-90000, 50000, 1200, 760), {left})));
    EXPECT_EQ(FitToScreens(QRect(-50, -50, 5000, 4000), {left}), left);
    // Empty or negative sizes: a workable minimum, or a whole screen smaller than that.
    const QRect tiny = FitToScreens(QRect(10, 10, -40, 0), {left});
    EXPECT_TRUE(tiny.width() >= 1140 && tiny.height() >= 720 && left.contains(tiny));
    EXPECT_EQ(FitToScreens(QRect(0, 0, 10, 10), {QRect(0, 0, 200, 100)}), QRect(0, 0, 200, 100));
    EXPECT_FALSE(FitToScreens(QRect(0, 0, 0, 0), {}).isEmpty());
    // Mostly on the second screen: stays there; more on the primary or on neither: the primary.
    const QRect fitted = FitToScreens(QRect(2500, 100, 1200, 760), {left, right});
    EXPECT_TRUE(right.contains(fitted) && fitted.size() == QSize(1200, 760));
    EXPECT_TRUE(left.contains(FitToScreens(QRect(1200, 100, 1200, 760), {left, right})));
    EXPECT_TRUE(left.contains(FitToScreens(QRect(9000, 9000, 1200, 760), {left, right})));
}

TEST_F(PlacementTest, AWindowComesBackWhereItWasNotFromNonsenseAndNotFromBeingMinimised) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget window, again;
    Store({"-9e9", "garbage", "-5", "1e30"});
    RestoreWindowPlacement(again, settings);
    EXPECT_TRUE(available.contains(QRect(again.pos(), again.size())));
    EXPECT_GE(again.width(), std::min(1140, available.width()));

    window.move(available.topLeft());
    window.resize(std::min(available.width(), 1200), std::min(available.height(), 760));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    SaveWindowPlacement(window, settings);
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
} // namespace ov::testing
