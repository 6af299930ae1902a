// One running instance: later starts hand their files over a local socket, and what else
// arrives there is ignored without harm.
#include "FunctionDialogTestSupport.h"

#include <QLocalSocket>
#include <QMdiArea>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "app/desktop/ShellRules.h"
#include "app/desktop/SingleInstance.h"
#include "app/desktop/Startup.h"
#include "app/windows/frmDocument.h"
#include "app/windows/frmMain.h"

using namespace ov;

namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    std::unique_ptr<InstanceServer> Serve() {
        auto server = std::make_unique<InstanceServer>([this](const std::string& path) { opened.push_back(path); },
                                                       [this] { return busy; });
        EXPECT_TRUE(server->Listen(name));
        return server;
    }
    // Sends raw bytes as a peer would, then hangs up.
    void SendRaw(const QByteArray& bytes) {
        QLocalSocket socket;
        socket.connectToServer(name);
        ASSERT_TRUE(socket.waitForConnected(2000));
        socket.write(bytes);
        while (socket.bytesToWrite() > 0 && socket.state() == QLocalSocket::ConnectedState)
            if (!socket.waitForBytesWritten(2000)) break;
        socket.disconnectFromServer();
    }
    bool Send(const std::vector<std::string>& files) { return SendToRunningInstance(name, files); }
    bool Opened(std::size_t count, int ms = 5000) {
        return QTest::qWaitFor([&] { return opened.size() == count; }, ms);
    }

    QTemporaryDir dir;
    QString name = dir.path() + "/instance";
    bool busy = false;
    std::vector<std::string> opened;
};

} // namespace

TEST_F(SingleInstanceTest, LaterStartsHandTheirFilesOverInOrderAndWaitWhileTheInstanceIsBusy) {
    auto server = Serve();
    std::vector<std::string> files{"/home/a/house.ovp", "/tmp/with \"quotes\" and spaces.ovp", "/tmp/\xc3\xa9t\xc3\xa9.ovp"};
    for (std::size_t i = 0; i < InstanceServer::kMaxFilesPerConnection * 2; ++i)
        files.push_back("/many/file" + std::to_string(i) + ".ovp");
    ASSERT_TRUE(Send(files));
    ASSERT_TRUE(Opened(files.size()));
    EXPECT_EQ(opened, files);
    opened.clear();
    busy = true;
    ASSERT_TRUE(Send({"/one.ovp", "/two.ovp"}));
    QTest::qWait(400);
    EXPECT_TRUE(opened.empty());
    busy = false;
    ASSERT_TRUE(Opened(2));
    EXPECT_EQ(opened[0], "/one.ovp");
}

TEST_F(SingleInstanceTest, OnlyALiveServerServesAndAStaleSocketIsReplaced) {
    EXPECT_FALSE(SendToRunningInstance(name, {"/home/a/house.ovp"}, 500));
    { auto gone = Serve(); }
    EXPECT_FALSE(SendToRunningInstance(name, {"/home/a/house.ovp"}, 500));
    // What a killed instance leaves: a socket file that nobody listens on.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = name.toLocal8Bit();
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(name));
    EXPECT_FALSE(SendToRunningInstance(name, {"/a.ovp"}, 500));
    auto server = Serve();
    // A second server leaves the running one in place.
    InstanceServer second([](const std::string&) { ADD_FAILURE() << "the second server received a file"; });
    EXPECT_FALSE(second.Listen(name));
    ASSERT_TRUE(Send({"/a.ovp"}));
    ASSERT_TRUE(Opened(1));
}

TEST_F(SingleInstanceTest, GarbageIsIgnoredAndTheServerKeepsServing) {
    auto server = Serve();
    SendRaw(QByteArray("hello", 5) + '\0' + "[O(/no/quotes.ovp)]" + '\0' + "[O(\")]" + '\0' + '\0');
    QByteArray noise;
    for (int i = 0; i < 5000; ++i) noise.append(static_cast<char>((i * 7919) % 251 + 1)); // no NUL
    SendRaw(noise);
    SendRaw(QByteArray(200000, '\0'));
    QTest::qWait(150);
    EXPECT_TRUE(opened.empty());
    // A string that is far too long is skipped whole, even if it looks valid, and what follows
    // on the same connection still counts; a last string may end with the connection.
    const std::string longPath = "/" + std::string(InstanceServer::kMaxMessageBytes, 'a') + ".ovp";
    SendRaw(QByteArray::fromStdString(MakeExecuteString(longPath)) + '\0' +
            QByteArray::fromStdString(MakeExecuteString("/after/long.ovp")) + '\0');
    SendRaw(QByteArray::fromStdString(MakeExecuteString("/unterminated.ovp")));
    ASSERT_TRUE(Opened(2));
    EXPECT_EQ(opened, (std::vector<std::string>{"/after/long.ovp", "/unterminated.ovp"}));
}

TEST_F(SingleInstanceTest, APeerThatSendsTooMuchOrNothingIsCutOff) {
    auto server = Serve();
    QLocalSocket flood;
    flood.connectToServer(name);
    ASSERT_TRUE(flood.waitForConnected(2000));
    QByteArray block;
    while (block.size() < 64 * 1024) block += QByteArray::fromStdString(MakeExecuteString("/flood.ovp")) + '\0';
    qint64 sent = 0;
    QElapsedTimer clock;
    clock.start();
    while (flood.state() == QLocalSocket::ConnectedState && clock.elapsed() < 10000 &&
           sent < 4 * static_cast<qint64>(InstanceServer::kMaxConnectionBytes)) {
        sent += flood.write(block);
        flood.waitForBytesWritten(50);
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return flood.state() != QLocalSocket::ConnectedState; }));
    QTest::qWait(150);
    // One peer gets at most its allowance of files opened.
    EXPECT_GT(opened.size(), 0u);
    EXPECT_LE(opened.size(), InstanceServer::kMaxFilesPerConnection);
    opened.clear();
    // Peers that connect and say nothing neither keep others out nor stay for ever.
    std::vector<std::unique_ptr<QLocalSocket>> silent;
    for (int i = 0; i < InstanceServer::kMaxConnections + 4; ++i) {
        silent.push_back(std::make_unique<QLocalSocket>());
        silent.back()->connectToServer(name);
        ASSERT_TRUE(silent.back()->waitForConnected(2000));
    }
    ASSERT_TRUE(Send({"/among/silent.ovp"}));
    ASSERT_TRUE(Opened(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return silent.back()->state() != QLocalSocket::ConnectedState; },
                                InstanceServer::kIdleTimeoutMs + 5000));
}

TEST_F(SingleInstanceTest, TheRunningMainWindowOpensTheFileItIsSent) {
    RecordingPrompt prompt;
    ScopedPrompt promptScope(prompt);
    App().CurrentTool = ToolPick;
    frmMain main;
    main.resize(900, 600);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    ASSERT_NE(ServeOpenCommands(main, name), nullptr);
    const std::string saved = (dir.path() + "/House.ovp").toStdString();
    ASSERT_TRUE(main.NewDocument()->GetScene().SaveScene(saved));
    const auto windows = [&main] { return main.MdiArea()->subWindowList().size(); };

    main.showMinimized();
    ASSERT_TRUE(Send({saved}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return windows() == 2; }));
    EXPECT_EQ(main.ActiveDocument()->GetScene().FileName, saved);
    EXPECT_EQ(main.ActiveDocument()->windowTitle(), "House.ovp");
    EXPECT_FALSE(main.isMinimized());
    // A file that cannot be read is reported by the loader and opens nothing; so is an empty
    // name, which is a file name too, not a request for an untitled document.
    const std::string missing = (dir.path() + "/Gone.ovp").toStdString();
    ASSERT_TRUE(Send({missing}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompt.Messages.size() == 1u; }));
    EXPECT_EQ(prompt.LastText().rfind("Unable to load the project '" + missing, 0), 0u);
    ASSERT_TRUE(Send({""}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompt.Messages.size() == 2u; }));
    EXPECT_EQ(prompt.LastText().rfind("Unable to load the project '':", 0), 0u);
    // Garbage opens nothing and says nothing.
    SendRaw("[O(" + QByteArray::fromStdString(saved) + ")]" + '\0');
    QTest::qWait(200);
    EXPECT_EQ(windows(), 2);
    EXPECT_EQ(prompt.Messages.size(), 2u);
}
