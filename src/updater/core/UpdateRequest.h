#pragma once

#include <QNetworkRequest>
#include <QString>
#include <QUrl>

// Every request of the update checker: redirects are followed only when they
// keep the scheme at least as safe, and the user agent names the program.
class UpdateRequest
{
public:
    // Downloads and manifest requests give up after this long without any
    // data, so a stalled server cannot leave a check in flight forever.
    static constexpr int kTransferTimeoutMs = 10000;
    // Hops a manifest or download may be redirected before it counts as failed.
    static constexpr int kMaxRedirects = 10;

    // `transferTimeoutMs` 0 keeps the default (no timeout).
    static QNetworkRequest build(const QUrl& url, const QString& userAgent, int transferTimeoutMs = 0);

    // True when a redirect from `from` to `to` may be followed: both http or
    // https, and never from https down to http.
    static bool isSafeRedirect(const QUrl& from, const QUrl& to);
};
