#include "UpdateRequest.h"

QNetworkRequest UpdateRequest::build(const QUrl& url, const QString& userAgent, int transferTimeoutMs)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    if (!userAgent.isEmpty())
        request.setRawHeader("User-Agent", userAgent.toUtf8());
    if (transferTimeoutMs > 0)
        request.setTransferTimeout(transferTimeoutMs);
    return request;
}

bool UpdateRequest::isSafeRedirect(const QUrl& from, const QUrl& to)
{
    const QString a = from.scheme().toLower();
    const QString b = to.scheme().toLower();
    const auto web = [](const QString& s) {
        return s == QLatin1String("http") || s == QLatin1String("https");
    };
    if (!web(a) || !web(b) || !to.isValid())
        return false;
    return !(a == QLatin1String("https") && b == QLatin1String("http"));
}
