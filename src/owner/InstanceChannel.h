#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>
#include <string>

class QLocalSocket;

namespace vorelle {

// One running program per user and data folder (the window program, or
// vorelle2-cli serve), and the way other processes reach it: `vorelle2 --send
// NAME` hands NAME to the running program.
//
// A connection carries one message, one line of at most kLongestMessage
// bytes ended by LF; a line the connection leaves unended when it closes or
// idles for idleTimeoutMs is not acted on. The message is taken off its connection, which is closed, and only
// then handed on, so that whatever the message starts (a message box with its
// own event loop) never meets a connection that went away meanwhile.
class InstanceChannel final : public QObject {
    Q_OBJECT

public:
    static constexpr qsizetype kLongestMessage = 256;
    static constexpr int kIdleTimeoutMs = 5000;
    // What a second start of the program sends before it ends: bring the
    // running window to the front.
    static constexpr const char* kActivateMessage = "activate";

    // The name of the channel for this user and data folder.
    static QString Key();
    // The console socket of the program that holds the channel `key`, through
    // which vorelle2-cli reaches the console the program owns.
    static std::string ConsoleSocket(const QString& key);

    explicit InstanceChannel(const QString& key, int idleTimeoutMs = kIdleTimeoutMs, QObject* parent = nullptr);

    // False when another instance already holds the channel.
    bool Claim();

    // Delivers `message` to the running instance. False, with a reason in
    // `error`, when none runs.
    static bool Send(const QString& key, const QString& message, QString* error);

signals:
    // Emitted from the event loop after the connection is closed.
    void MessageReceived(const QString& message);
    // A connection that sent something that is not a message (too long, not
    // plain text, or without its line end); `why` says which.
    void JunkReceived(const QString& why);

private:
    void Accept();
    void Serve(QLocalSocket* socket);

    QString key_;
    const int idleTimeoutMs_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
};

}  // namespace vorelle
