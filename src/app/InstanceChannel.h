#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

namespace vorelle {

// One running program per user and data folder, and the way other processes
// reach it: `vorelle2 --send NAME` hands NAME to the running window.
class InstanceChannel final : public QObject {
    Q_OBJECT

public:
    // The name of the channel for this user and data folder.
    static QString Key();

    explicit InstanceChannel(const QString& key, QObject* parent = nullptr);

    // False when another instance already holds the channel.
    bool Claim();

    // Delivers `message` to the running instance. False, with a reason in
    // `error`, when none runs.
    static bool Send(const QString& key, const QString& message, QString* error);

signals:
    void MessageReceived(const QString& message);

private:
    void Accept();

    QString key_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
};

}  // namespace vorelle
