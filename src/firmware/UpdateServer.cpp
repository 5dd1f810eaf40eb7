#include "firmware/UpdateServer.h"

namespace vorelle {

namespace {
constexpr const char* kFirmwarePath = "/upload/update_firm/M402/M402Firmware.txt";
}  // namespace

QString UpdateServer()
{
    const QString fromEnvironment = qEnvironmentVariable("VORELLE2_UPDATE_SERVER");
    return fromEnvironment.isEmpty() ? QStringLiteral(VORELLE2_BUILT_IN_UPDATE_SERVER) : fromEnvironment;
}

bool IsWebAddress(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

QString ShownAddress(const QUrl& url) { return url.toString(QUrl::RemoveUserInfo); }

QString WithoutUserInfo(QString text, const QUrl& url)
{
    for (const QUrl::ComponentFormattingOption format : {QUrl::PrettyDecoded, QUrl::FullyEncoded, QUrl::FullyDecoded}) {
        const QString userInfo = url.userInfo(format);
        if (!userInfo.isEmpty())
            text.replace(userInfo + QLatin1Char('@'), QString());
    }
    return text;
}

QUrl FirmwareUrl(const QString& server)
{
    QUrl url(server.trimmed(), QUrl::StrictMode);
    if (!IsWebAddress(url) || url.hasQuery() || url.hasFragment())
        return {};
    QString base = url.path();
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    url.setPath(base + QLatin1String(kFirmwarePath));
    return url;
}

}  // namespace vorelle
