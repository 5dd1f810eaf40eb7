#include "owner/InstanceChannel.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QTimer>

#include <unistd.h>

#include <algorithm>

namespace vorelle {

namespace {
constexpr int kSendTimeoutMs = 3000;

// Message names are plain words; anything else is not worth echoing.
bool IsPlainText(const QByteArray& line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}
}  // namespace

QString InstanceChannel::Key()
{
    // Another data folder (tests, a second station) is another program.
    QString key = QStringLiteral("Vorelle2-%1").arg(getuid());
    const QByteArray dataDir = qgetenv("VORELLE2_DATA_DIR");
    if (!dataDir.isEmpty())
        key += QLatin1Char('-') + QString::fromLatin1(QCryptographicHash::hash(dataDir, QCryptographicHash::Sha1).toHex().left(12));
    return key;
}

std::string InstanceChannel::ConsoleSocket(const QString& key)
{
    return QDir::temp().filePath(key + QStringLiteral(".console")).toStdString();
}

InstanceChannel::InstanceChannel(const QString& key, int idleTimeoutMs, QObject* parent)
    : QObject(parent), key_(key), idleTimeoutMs_(idleTimeoutMs)
{
    connect(&server_, &QLocalServer::newConnection, this, &InstanceChannel::Accept);
}

bool InstanceChannel::Claim()
{
    // The lock file decides who runs (a lock left by a crashed instance is
    // taken over); the socket only carries messages.
    lock_ = std::make_unique<QLockFile>(QDir::temp().filePath(key_ + QStringLiteral(".lock")));
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0))
        return false;
    QLocalServer::removeServer(key_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(key_);
    return true;
}

void InstanceChannel::Accept()
{
    while (QLocalSocket* socket = server_.nextPendingConnection())
        Serve(socket);
}

void InstanceChannel::Serve(QLocalSocket* socket)
{
    auto received = std::make_shared<QByteArray>();
    auto finished = std::make_shared<bool>(false);
    // Takes what has come and decides once the line is whole, too long, or
    // will never be ended: the connection closed, or went quiet too long.
    const auto finish = [this, socket, received, finished](bool connectionEnded) {
        if (*finished)
            return;
        *received += socket->read(kLongestMessage + 2 - received->size());
        const qsizetype lineEnd = received->indexOf('\n');
        if (lineEnd < 0 && !connectionEnded && received->size() <= kLongestMessage)
            return;  // more may come
        *finished = true;
        socket->abort();
        socket->deleteLater();
        // Handled once this connection's own events are over.
        const QByteArray line = received->left(lineEnd < 0 ? received->size() : lineEnd);
        const QByteArray trimmed = line.trimmed();
        QString junk;
        if (line.size() > kLongestMessage)
            junk = QStringLiteral("a message longer than %1 bytes was refused").arg(kLongestMessage);
        else if (lineEnd < 0 && !line.isEmpty())
            // A sender cut off mid-line may have meant something else.
            junk = QStringLiteral("a message without its line end was dropped");
        else if (!IsPlainText(trimmed))
            junk = QStringLiteral("a message that is not plain text was refused");
        if (!junk.isEmpty()) {
            QMetaObject::invokeMethod(this, [this, junk] { emit JunkReceived(junk); }, Qt::QueuedConnection);
            return;
        }
        if (trimmed.isEmpty())
            return;
        const QString message = QString::fromLatin1(trimmed);
        QMetaObject::invokeMethod(this, [this, message] { emit MessageReceived(message); }, Qt::QueuedConnection);
    };
    connect(socket, &QLocalSocket::readyRead, this, [finish] { finish(false); });
    connect(socket, &QLocalSocket::disconnected, this, [finish] { finish(true); });
    // A sender that connects and stalls does not hold a connection open.
    auto* idle = new QTimer(socket);
    idle->setSingleShot(true);
    connect(idle, &QTimer::timeout, this, [finish] { finish(true); });
    idle->start(idleTimeoutMs_);
}

bool InstanceChannel::Send(const QString& key, const QString& message, QString* error)
{
    QLocalSocket socket;
    socket.connectToServer(key);
    if (!socket.waitForConnected(kSendTimeoutMs)) {
        *error = QStringLiteral("Vorelle 2 is not running.");
        return false;
    }
    socket.write(message.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(kSendTimeoutMs)) {
        *error = socket.errorString();
        return false;
    }
    socket.disconnectFromServer();
    return true;
}

}  // namespace vorelle
