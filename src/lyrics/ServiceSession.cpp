#include "lyrics/ServiceSession.h"

#include "lyrics/JsonRequest.h"
#include "foundation/RefusingCookieJar.h"

#include <QNetworkReply>
#include <QNetworkRequest>

ServiceSession::ServiceSession(QUrl base, Timeouts timeouts, Headers headers)
    : m_base(std::move(base))
    , m_timeouts(timeouts)
    , m_headers(std::move(headers))
{
    m_network.setCookieJar(new RefusingCookieJar(&m_network));
}

JsonRequest* ServiceSession::getJSON(const QUrl& url, QObject* parent)
{
    QNetworkRequest request(url);
    for (const auto& [name, value] : m_headers)
        request.setRawHeader(name, value);
    request.setTransferTimeout(static_cast<int>(m_timeouts.transfer.count()));
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    return new JsonRequest(m_network.get(request), m_timeouts.deadline, parent);
}
