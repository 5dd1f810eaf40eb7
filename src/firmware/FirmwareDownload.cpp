#include "firmware/FirmwareDownload.h"

#include "firmware/UpdateServer.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>

#include <utility>

namespace vorelle {

namespace {
constexpr int kMaxRedirects = 5;
constexpr int kHttpOk = 200;

// Only such a reply carries the file; the body of any other is an error page.
bool AnsweredOk(const QNetworkReply& reply)
{
    return reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == kHttpOk;
}
}  // namespace

FirmwareDownload::FirmwareDownload(DownloadLimits limits, QObject* parent)
    : QObject(parent), limits_(limits), network_(new QNetworkAccessManager(this))
{
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        if (reply_)
            Fail(tr("the download did not end within %1 seconds").arg(limits_.whole.count() / 1000.0));
    });
}

FirmwareDownload::~FirmwareDownload()
{
    // Nobody listens any more: stop quietly and leave no file.
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
    }
}

void FirmwareDownload::Start(const QUrl& url, const QString& target)
{
    if (active_)
        return;
    active_ = true;
    ++started_;
    failure_.clear();
    written_ = 0;
    requested_ = url;
    current_ = url;
    // From the event loop, like every other end, and only if this download
    // has not been cancelled (and another started) in between.
    const auto failSoon = [this, started = started_](const QString& why) {
        QMetaObject::invokeMethod(
            this,
            [this, started, why] {
                if (started == started_)
                    End(Outcome::Failed, why);
            },
            Qt::QueuedConnection);
    };
    if (!IsWebAddress(url)) {
        failSoon(url.isEmpty() ? tr("no update server is set")
                               : tr("%1 is not an http or https address").arg(ShownAddress(url)));
        return;
    }
    file_ = std::make_unique<QSaveFile>(target);
    if (!file_->open(QIODevice::WriteOnly)) {
        failSoon(tr("cannot write %1: %2").arg(target, file_->errorString()));
        file_.reset();
        return;
    }

    QNetworkRequest request(url);
    // Always from the server, never from a cache, and never kept in one.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    // The body as it is, so that its length is the one the server states.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setTransferTimeout(static_cast<int>(limits_.stall.count()));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);

    reply_ = network_->get(request);
    connect(reply_, &QNetworkReply::metaDataChanged, this, &FirmwareDownload::OnMetaData);
    connect(reply_, &QNetworkReply::readyRead, this, &FirmwareDownload::OnReadyRead);
    connect(reply_, &QNetworkReply::redirected, this, &FirmwareDownload::OnRedirected);
    connect(reply_, &QNetworkReply::finished, this, &FirmwareDownload::OnFinished);
    deadline_.start(limits_.whole);
}

void FirmwareDownload::Cancel()
{
    if (!active_)
        return;
    End(Outcome::Cancelled, {});
    if (reply_)
        reply_->abort();
    file_.reset();
}

void FirmwareDownload::Fail(const QString& why)
{
    if (failure_.isEmpty())
        failure_ = why;
    reply_->abort();
}

QString FirmwareDownload::TooLarge() const { return tr("the file is larger than %1 bytes").arg(limits_.maxBytes); }

void FirmwareDownload::OnMetaData()
{
    // Refused before a byte of the body is taken.
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > limits_.maxBytes)
        Fail(TooLarge());
}

QString FirmwareDownload::Append(const QByteArray& chunk)
{
    if (written_ + chunk.size() > limits_.maxBytes)
        return TooLarge();
    if (file_->write(chunk) != chunk.size())
        return tr("cannot write %1: %2").arg(file_->fileName(), file_->errorString());
    written_ += chunk.size();
    return {};
}

void FirmwareDownload::OnReadyRead()
{
    const QByteArray chunk = reply_->readAll();
    if (!AnsweredOk(*reply_))
        return;  // neither kept nor counted; the status says what went wrong
    const QString problem = Append(chunk);
    if (!problem.isEmpty()) {
        Fail(problem);
        return;
    }
    // Said with every piece that comes: Qt's own progress signal waits for
    // more data, so a transfer that stalls would show none.
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    emit Progress(written_, length.isValid() && length.toLongLong() > 0 ? length.toLongLong() : -1);
}

void FirmwareDownload::OnRedirected(const QUrl& next)
{
    const QUrl target = current_.resolved(next);
    const bool downgrade = current_.scheme().toLower() == QLatin1String("https") &&
                           target.scheme().toLower() != QLatin1String("https");
    if (!IsWebAddress(target) || downgrade) {
        Fail(tr("the server sent the download on to %1, which is not fetched").arg(ShownAddress(target)));
        return;
    }
    current_ = target;
    emit reply_->redirectAllowed();
}

QString FirmwareDownload::ProblemOf(QNetworkReply& reply)
{
    if (!failure_.isEmpty())
        return failure_;
    if (reply.error() == QNetworkReply::OperationCanceledError)
        return tr("no data came for %1 seconds").arg(limits_.stall.count() / 1000.0);
    if (reply.error() != QNetworkReply::NoError)
        return reply.errorString();
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != kHttpOk)
        return tr("the server answered with status %1").arg(status);
    const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() != written_)
        return tr("the file was cut short: %1 of %2 bytes came").arg(written_).arg(length.toLongLong());
    if (!file_->commit())
        return tr("cannot write %1: %2").arg(file_->fileName(), file_->errorString());
    return {};
}

void FirmwareDownload::OnFinished()
{
    QNetworkReply* reply = std::exchange(reply_, nullptr);
    reply->deleteLater();
    if (!active_)
        return;  // cancelled
    // Whatever is still buffered belongs to the body.
    if (failure_.isEmpty() && reply->error() == QNetworkReply::NoError && AnsweredOk(*reply))
        failure_ = Append(reply->readAll());
    const QString problem = ProblemOf(*reply);
    // A file that was not committed goes with its temporary file.
    file_.reset();
    End(problem.isEmpty() ? Outcome::Saved : Outcome::Failed, problem);
}

void FirmwareDownload::End(Outcome outcome, const QString& why)
{
    if (!active_)
        return;
    active_ = false;
    deadline_.stop();
    emit Finished(outcome, WithoutUserInfo(WithoutUserInfo(why, requested_), current_));
}

}  // namespace vorelle
