#include "app/desktop/SingleInstance.h"

#include "app/desktop/ShellRules.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace ov {

namespace {

bool WriteAll(QLocalSocket& socket, const QByteArray& data, int timeoutMs) {
    if (socket.write(data) != data.size()) return false;
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(timeoutMs)) return false;
    return true;
}

bool SendBatch(const QString& serverName, const QByteArray& batch, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(timeoutMs)) return false;
    const bool written = WriteAll(socket, batch, timeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(timeoutMs);
    return written;
}

} // namespace

namespace {

// Whether path is a folder of the user's own that nobody else may enter. Checked on the name
// itself, so that a link planted in its place is not followed.
bool PrivateFolder(const QByteArray& path) {
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0;
}

} // namespace

QString InstanceServerName() {
    // The socket takes the paths of every file the user opens: whoever could replace it
    // would receive them, so it lives only in a folder that is the user's alone.
    QByteArray folder = qgetenv("XDG_RUNTIME_DIR");
    if (folder.isEmpty()) {
        folder = QFile::encodeName(QDir::tempPath()) + "/orthovane-" + QByteArray::number(::getuid());
        ::mkdir(folder.constData(), 0700); // refused when the name exists, whoever made it
    }
    if (PrivateFolder(folder)) return QFile::decodeName(folder) + QStringLiteral("/orthovane-instance");
    std::fprintf(stderr,
                 "orthovane: '%s' is not a folder that only you may enter; files are not handed to a running "
                 "Orthovane, and this one does not take them from others\n",
                 folder.constData());
    return {};
}

bool SendToRunningInstance(const QString& serverName, const std::vector<std::string>& paths,
                           int timeoutMs) {
    // Split so that no connection exceeds what the server takes from one peer.
    std::vector<QByteArray> batches(1);
    std::size_t inBatch = 0;
    for (const std::string& path : paths) {
        const std::string message = MakeExecuteString(path);
        if (message.size() >= InstanceServer::kMaxMessageBytes) continue; // no path is this long
        const auto size = static_cast<qsizetype>(message.size());
        if (inBatch == InstanceServer::kMaxFilesPerConnection ||
            batches.back().size() + size + 1 >
                static_cast<qsizetype>(InstanceServer::kMaxConnectionBytes)) {
            batches.emplace_back();
            inBatch = 0;
        }
        batches.back().append(message.data(), size);
        batches.back().append('\0');
        ++inBatch;
    }
    for (const QByteArray& batch : batches)
        if (!SendBatch(serverName, batch, timeoutMs)) return false;
    return true;
}

InstanceServer::InstanceServer(std::function<void(const std::string&)> open,
                               std::function<bool()> busy, QObject* parent)
    : QObject(parent), m_server(new QLocalServer(this)), m_open(std::move(open)),
      m_busy(std::move(busy)) {
    // No socket options: with them the server is bound elsewhere and renamed into place,
    // which would silently take the name from an instance serving under it. The default
    // name lies in the user's own runtime folder, which nobody else may enter.
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::OnNewConnection);
}

InstanceServer::~InstanceServer() = default;

namespace {

bool SomeoneServes(const QString& serverName) {
    QLocalSocket probe;
    probe.connectToServer(serverName);
    if (!probe.waitForConnected(500)) return false;
    probe.abort();
    return true;
}

} // namespace

bool InstanceServer::Listen(const QString& serverName) {
    if (m_server->listen(serverName)) return true;
    if (m_server->serverError() != QAbstractSocket::AddressInUseError || SomeoneServes(serverName))
        return false;
    // The name is taken but nobody answers: what an instance that crashed left behind.
    QLocalServer::removeServer(serverName);
    return m_server->listen(serverName);
}

bool InstanceServer::IsListening() const {
    return m_server->isListening();
}

void InstanceServer::OnNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        if (m_connections.size() >= kMaxConnections) {
            // Rather than turn a newcomer away, end the peer heard from least recently:
            // what it sent is taken first, so a well-behaved peer loses nothing.
            auto quietest = m_connections.begin();
            for (auto it = m_connections.begin(); it != m_connections.end(); ++it)
                if (it->LastHeard < quietest->LastHeard) quietest = it;
            Finish(quietest.key());
        }
        socket->setReadBufferSize(static_cast<qint64>(kMaxMessageBytes));
        Connection& connection = m_connections[socket];
        connection.LastHeard = ++m_arrivals;
        connection.Idle = new QTimer(socket);
        connection.Idle->setSingleShot(true);
        connection.Idle->start(kIdleTimeoutMs);
        connect(connection.Idle, &QTimer::timeout, this, [this, socket] { Finish(socket); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] { Finish(socket); });
        // Data may have arrived before the signals were connected.
        if (socket->bytesAvailable() > 0) OnReadyRead(socket);
    }
}

void InstanceServer::Finish(QLocalSocket* socket) {
    if (!m_connections.contains(socket)) return;
    OnReadyRead(socket); // may finish the connection itself, for sending too much
    const auto found = m_connections.find(socket);
    if (found == m_connections.end()) return;
    Connection& connection = *found;
    // A peer may end its last string by hanging up instead of with a NUL.
    if (!connection.Overlong && !connection.Partial.isEmpty())
        Receive(connection, connection.Partial);
    m_connections.erase(found);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void InstanceServer::OnReadyRead(QLocalSocket* socket) {
    const auto found = m_connections.find(socket);
    if (found == m_connections.end()) return;
    Connection& connection = *found;
    const QByteArray data = socket->readAll();
    if (data.isEmpty()) return;
    connection.LastHeard = ++m_arrivals;
    connection.Idle->start(kIdleTimeoutMs);

    connection.Total += static_cast<std::size_t>(data.size());
    qsizetype start = 0;
    for (qsizetype end = data.indexOf('\0'); end >= 0;
         start = end + 1, end = data.indexOf('\0', start)) {
        if (!connection.Overlong &&
            connection.Partial.size() + (end - start) < static_cast<qsizetype>(kMaxMessageBytes))
            Receive(connection, connection.Partial + data.mid(start, end - start));
        connection.Partial.clear();
        connection.Overlong = false;
    }
    if (!connection.Overlong) connection.Partial += data.mid(start);
    if (connection.Partial.size() >= static_cast<qsizetype>(kMaxMessageBytes)) {
        connection.Partial.clear();
        connection.Overlong = true;
    }
    // Complete strings were taken; beyond its allowance the peer is cut off.
    if (connection.Total > kMaxConnectionBytes) {
        connection.Partial.clear();
        connection.Overlong = true;
        Finish(socket);
    }
}

void InstanceServer::Receive(Connection& connection, const QByteArray& message) {
    const auto path = ParseExecuteString(message.toStdString());
    if (!path || connection.Files >= kMaxFilesPerConnection || m_pending.size() >= kMaxPendingFiles)
        return;
    ++connection.Files;
    m_pending.push_back(*path);
    ScheduleDispatch(0);
}

void InstanceServer::ScheduleDispatch(int delayMs) {
    if (m_dispatchScheduled) return;
    m_dispatchScheduled = true;
    QTimer::singleShot(delayMs, this, [this] {
        m_dispatchScheduled = false;
        Dispatch();
    });
}

void InstanceServer::Dispatch() {
    // Opening a project may show a message and so run a nested event loop, where more files
    // can arrive: they join the queue that the outer call is working through.
    if (m_dispatching) return;
    m_dispatching = true;
    while (!m_pending.empty()) {
        if (m_busy && m_busy()) {
            ScheduleDispatch(100);
            break;
        }
        const std::string path = m_pending.front();
        m_pending.pop_front();
        if (m_open) m_open(path);
    }
    m_dispatching = false;
}

} // namespace ov
