#pragma once
// One running instance per user: a later start hands the files it was given to the running
// one as execute strings over a local socket, and the running one opens them.
//
// On the wire each execute string is sent as its bytes followed by a NUL byte (a path never
// holds one); a string still open when the sender disconnects counts as complete.

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;
class QTimer;

namespace ov {

// The per-user server name: a socket in the user's runtime folder, or without one a folder
// of the user's in the temporary folder. Empty (after a word on standard error) when that
// folder is not the user's alone: the program then runs without handing files over.
QString InstanceServerName();

// Sends one execute string per path to the instance serving under serverName. False when
// no instance answers within timeoutMs or the strings could not all be handed over; the
// caller then opens the files itself.
bool SendToRunningInstance(const QString& serverName, const std::vector<std::string>& paths,
                           int timeoutMs = 3000);

class InstanceServer : public QObject {
    Q_OBJECT
public:
    // What a peer may cost us: the length of one execute string, the bytes and the files of
    // one connection, the connections kept at a time (a new one beyond that ends the
    // quietest), the files waiting to be opened, and how long a silent connection is kept.
    static constexpr std::size_t kMaxMessageBytes = 64 * 1024;
    static constexpr std::size_t kMaxConnectionBytes = 1024 * 1024;
    static constexpr std::size_t kMaxFilesPerConnection = 256;
    static constexpr int kMaxConnections = 32;
    static constexpr std::size_t kMaxPendingFiles = 1024;
    static constexpr int kIdleTimeoutMs = 5000;

    // open is called with the path of each valid execute string received, from the event
    // loop, one at a time, never while busy says so (busy may be empty).
    explicit InstanceServer(std::function<void(const std::string&)> open,
                            std::function<bool()> busy = {}, QObject* parent = nullptr);
    ~InstanceServer() override;

    // Starts serving under the name. A socket left behind by an instance that ended without
    // cleaning up is replaced; false when another instance is serving, or listening fails.
    bool Listen(const QString& serverName);
    bool IsListening() const;

private:
    // What the server keeps for each connected peer.
    struct Connection {
        QByteArray Partial;    // bytes of an execute string whose NUL has not come yet
        std::size_t Total = 0; // bytes received on this connection
        std::size_t Files = 0; // execute strings taken from this connection
        bool Overlong = false; // the current string is too long: skip it up to its NUL
        quint64 LastHeard = 0; // when the peer last sent something, in arrivals
        QTimer* Idle = nullptr;
    };

    void OnNewConnection();
    void OnReadyRead(QLocalSocket* socket);
    // Takes what the peer sent, ends the connection and forgets it.
    void Finish(QLocalSocket* socket);
    void Receive(Connection& connection, const QByteArray& message);
    void ScheduleDispatch(int delayMs);
    void Dispatch();

    QLocalServer* m_server;
    QHash<QLocalSocket*, Connection> m_connections;
    quint64 m_arrivals = 0;
    std::function<void(const std::string&)> m_open;
    std::function<bool()> m_busy;
    std::deque<std::string> m_pending;
    bool m_dispatching = false;
    bool m_dispatchScheduled = false;
};

} // namespace ov
