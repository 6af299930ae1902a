// One running instance: later starts hand their files over a local socket, and what else
// arrives there is ignored without harm.
#include "FunctionDialogTestSupport.h"

#include <QLocalSocket>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "app/desktop/ShellRules.h"
#include "app/desktop/SingleInstance.h"

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
    bool Connect(QLocalSocket& socket) { return socket.connectToServer(name), socket.waitForConnected(2000); }
    // Sends raw bytes as a peer would, then hangs up.
    void SendRaw(const QByteArray& bytes) {
        QLocalSocket socket;
        ASSERT_TRUE(Connect(socket));
        socket.write(bytes);
        while (socket.bytesToWrite() > 0 && socket.state() == QLocalSocket::ConnectedState)
            if (!socket.waitForBytesWritten(2000)) break;
        socket.disconnectFromServer();
    }
    bool Send(const std::vector<std::string>& files, int ms = 3000) { return SendToRunningInstance(name, files, ms); }
    bool Opened(std::size_t count) { return QTest::qWaitFor([&] { return opened.size() == count; }, 5000); }
    // An execute string with its terminating NUL.
    static QByteArray Execute(const std::string& p) { return QByteArray::fromStdString(MakeExecuteString(p)) + '\0'; }

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
    EXPECT_FALSE(Send({"/home/a/house.ovp"}, 500));
    { auto gone = Serve(); }
    EXPECT_FALSE(Send({"/home/a/house.ovp"}, 500));
    // What a killed instance leaves: a socket file that nobody listens on.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = name.toLocal8Bit();
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(name));
    EXPECT_FALSE(Send({"/a.ovp"}, 500));
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
    SendRaw(Execute(longPath) + Execute("/after/long.ovp"));
    SendRaw(Execute("/unterminated.ovp").chopped(1));
    ASSERT_TRUE(Opened(2));
    EXPECT_EQ(opened, (std::vector<std::string>{"/after/long.ovp", "/unterminated.ovp"}));
}

TEST_F(SingleInstanceTest, APeerThatSendsTooMuchOrNothingIsCutOff) {
    auto server = Serve();
    QLocalSocket flood;
    ASSERT_TRUE(Connect(flood));
    QByteArray block;
    while (block.size() < 64 * 1024) block += Execute("/flood.ovp");
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
    EXPECT_TRUE(!opened.empty() && opened.size() <= InstanceServer::kMaxFilesPerConnection) << opened.size();
    opened.clear();
    // Peers that connect and say nothing neither keep others out nor stay for ever.
    std::vector<std::unique_ptr<QLocalSocket>> silent;
    for (int i = 0; i < InstanceServer::kMaxConnections + 4; ++i) {
        silent.push_back(std::make_unique<QLocalSocket>());
        ASSERT_TRUE(Connect(*silent.back()));
    }
    ASSERT_TRUE(Send({"/among/silent.ovp"}));
    ASSERT_TRUE(Opened(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return silent.back()->state() != QLocalSocket::ConnectedState; },
                                InstanceServer::kIdleTimeoutMs + 5000));
}

namespace {

TEST_F(SingleInstanceTest, TheSocketLivesOnlyInAFolderThatIsTheUsersAlone) {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), temp = qgetenv("TMPDIR");
    const QString own = QString("orthovane-%1").arg(::getuid());
    QDir(dir.path()).mkpath("private"), QDir(dir.path()).mkpath("open"), QDir(dir.path()).mkpath("fresh");
    QDir(dir.path()).mkpath("taken/" + own);
    QFile::setPermissions(dir.filePath("private"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(dir.filePath("taken/" + own), QFileDevice::Permissions(0x7777)); // everyone may enter
    QFile::link(dir.filePath("private"), dir.filePath("link"));
    // (XDG_RUNTIME_DIR, TMPDIR): the server name, "" when the folder is not private.
    const struct { QString runtime, temp, name; } cases[] = {
        {dir.filePath("private"), "", dir.filePath("private/orthovane-instance")},
        {dir.filePath("open"), "", ""}, // readable by all, as made by mkpath
        {dir.filePath("link"), "", ""}, // a link is not followed
        {"", dir.filePath("fresh"), dir.filePath("fresh/" + own + "/orthovane-instance")}, // made private
        {"", dir.filePath("taken"), ""}, // made first by someone else, for everyone
    };
    for (const auto& c : cases) {
        qputenv("XDG_RUNTIME_DIR", c.runtime.toLocal8Bit());
        qputenv("TMPDIR", c.temp.toLocal8Bit());
        EXPECT_EQ(InstanceServerName().toStdString(), c.name.toStdString()) << c.runtime.toStdString() << c.temp.toStdString();
    }
    EXPECT_EQ(QFileInfo(dir.filePath("fresh/" + own)).permissions() & 0x0077, 0);
    for (const auto& [variable, value] : {std::pair{"XDG_RUNTIME_DIR", runtime}, {"TMPDIR", temp}})
        if (value.isNull()) qunsetenv(variable);
        else qputenv(variable, value);
}

} // namespace
