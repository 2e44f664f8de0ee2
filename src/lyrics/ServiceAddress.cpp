#include "lyrics/ServiceAddress.h"

#include "foundation/DiagLog.h"

#include <QList>
#include <QPair>

namespace service_address {

using QueryItems = QList<QPair<QString, QString>>;

QUrl withPathAndQuery(const QUrl& base, const QString& path, const QueryItems& items)
{
    QByteArray query;
    for (const auto& [key, value] : items) {
        if (!query.isEmpty())
            query += '&';
        query += QUrl::toPercentEncoding(key) + '=' + QUrl::toPercentEncoding(value);
    }
    QUrl url = base;
    url.setPath(base.path() + path);
    url.setQuery(QString::fromLatin1(query), QUrl::StrictMode);
    return url;
}

QUrl defaultBase() { return QUrl(QStringLiteral("https://music.163.com")); }

std::optional<QUrl> readBase(const QString& text)
{
    QUrl url(text, QUrl::StrictMode);
    const bool webScheme = url.scheme() == u"http" || url.scheme() == u"https";
    if (!url.isValid() || !webScheme || url.host().isEmpty() || url.hasQuery() || url.hasFragment()
        || !url.userInfo().isEmpty())
        return std::nullopt;
    QString path = url.path();
    while (path.endsWith(u'/'))
        path.chop(1);
    url.setPath(path);
    return url;
}

QUrl baseFromVariable(const char* variable, const QUrl& fallback)
{
    const QString value = qEnvironmentVariable(variable);
    if (value.isEmpty())
        return fallback;
    if (std::optional<QUrl> base = readBase(value))
        return *base;
    DiagLog::log(QStringLiteral("lyrics: %1 \"%2\" is not an http or https address; using %3")
                     .arg(QString::fromLatin1(variable), value, fallback.toString()));
    return fallback;
}

QUrl fromEnvironment() { return baseFromVariable("ZUVIK_LYRICS_BASE_URL", defaultBase()); }

QByteArray referer(const QUrl& base) { return base.toEncoded() + '/'; }

QList<QPair<QByteArray, QByteArray>> headers(const QUrl& base)
{
    return {{"User-Agent", "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7)"}, {"Referer", referer(base)}};
}

QUrl searchUrl(const QUrl& base, const QString& query)
{
    return withPathAndQuery(base, QStringLiteral("/api/search/get"),
                            {{QStringLiteral("s"), query},
                             {QStringLiteral("type"), QStringLiteral("1")},
                             {QStringLiteral("limit"), QStringLiteral("30")},
                             {QStringLiteral("offset"), QStringLiteral("0")}});
}

QUrl lyricUrl(const QUrl& base, std::int64_t id)
{
    QueryItems items{{QStringLiteral("id"), QString::number(id)}, {QStringLiteral("cp"), QStringLiteral("false")}};
    for (const char* key : {"lv", "kv", "tv", "rv", "yv", "ytv", "yrv"})
        items.append({QString::fromLatin1(key), QStringLiteral("0")});
    return withPathAndQuery(base, QStringLiteral("/api/song/lyric/v1"), items);
}

}  // namespace service_address
