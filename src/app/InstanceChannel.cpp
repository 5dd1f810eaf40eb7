#include "app/InstanceChannel.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>

#include <unistd.h>

namespace vorelle {

namespace {
constexpr int kSendTimeoutMs = 3000;
constexpr qint64 kLongestMessage = 256;
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

InstanceChannel::InstanceChannel(const QString& key, QObject* parent) : QObject(parent), key_(key)
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
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const QString message = QString::fromUtf8(socket->readLine(kLongestMessage)).trimmed();
                if (!message.isEmpty())
                    emit MessageReceived(message);
            }
            if (socket->bytesAvailable() > kLongestMessage)
                socket->abort();
        });
    }
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
