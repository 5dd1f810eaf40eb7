#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QSaveFile;

namespace vorelle {

struct DownloadLimits {
    // The transfer gives up after this long without data.
    std::chrono::milliseconds stall{30000};
    // A firmware file is far smaller; anything larger is refused.
    qint64 maxBytes = 8 * 1024 * 1024;
    // The whole download ends by then, however it goes: a server that
    // trickles a byte every few seconds never stalls.
    std::chrono::milliseconds whole{5 * 60 * 1000};
};

// Fetches the firmware file from the update server into a file, which holds
// the whole body or is not there at all. Only http and https, TLS errors are
// never ignored, no cache is read or written, and any failure (an HTTP error
// status, a body cut short, a stall, an oversized body, the whole time used
// up) ends in Failed. No text it gives shows the address's user-info part.
class FirmwareDownload final : public QObject {
    Q_OBJECT

public:
    enum class Outcome { Saved, Failed, Cancelled };
    Q_ENUM(Outcome)

    explicit FirmwareDownload(DownloadLimits limits = {}, QObject* parent = nullptr);
    ~FirmwareDownload() override;

    // Starts fetching `url` into `target`; Finished follows in every case,
    // from the event loop.
    void Start(const QUrl& url, const QString& target);
    // Stops a running download and leaves no file; Finished(Cancelled)
    // follows at once.
    void Cancel();
    bool Running() const { return active_; }

signals:
    // `total` is -1 while the server has not said how much is coming. Only
    // the body of a reply with status 200 counts.
    void Progress(qint64 received, qint64 total);
    // `why` says what went wrong (empty when saved or cancelled).
    void Finished(vorelle::FirmwareDownload::Outcome outcome, const QString& why);

private:
    QString TooLarge() const;
    // Writes a piece of the body; says why not when it cannot.
    QString Append(const QByteArray& chunk);
    void OnReadyRead();
    void OnMetaData();
    void OnRedirected(const QUrl& next);
    void OnFinished();
    // Why the finished reply is not the whole file; empty when it is.
    QString ProblemOf(QNetworkReply& reply);
    // Ends the transfer now with `why`; OnFinished reports it.
    void Fail(const QString& why);
    // Reports the end once, whichever way it came.
    void End(Outcome outcome, const QString& why);

    const DownloadLimits limits_;
    QNetworkAccessManager* network_;
    QNetworkReply* reply_ = nullptr;
    QUrl requested_;
    QUrl current_;  // where the reply comes from now, after any redirects
    QTimer deadline_;
    std::unique_ptr<QSaveFile> file_;
    qint64 written_ = 0;
    QString failure_;
    bool active_ = false;
    quint64 started_ = 0;  // downloads started, to tell an old queued end from the current one
};

}  // namespace vorelle
