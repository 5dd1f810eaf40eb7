#pragma once

#include <QString>
#include <QUrl>

namespace vorelle {

// The update server's address: VORELLE2_UPDATE_SERVER from the environment,
// else the one the program was built with (empty unless set at build time).
QString UpdateServer();

// Where the firmware lies on the update server; invalid when no server is
// set or it is not an http or https address, which a download reports as
// failed.
QUrl FirmwareUrl(const QString& server = UpdateServer());

// Only these are fetched, also where a server redirects.
bool IsWebAddress(const QUrl& url);

// The address as it may be shown or logged: without its user-info part
// (user:password@), which may hold a secret.
QString ShownAddress(const QUrl& url);
// `text` (Qt's own error texts quote addresses whole) with every form of
// `url`'s user-info part taken out.
QString WithoutUserInfo(QString text, const QUrl& url);

}  // namespace vorelle
