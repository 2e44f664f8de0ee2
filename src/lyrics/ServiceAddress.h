#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <optional>

// Where the lyrics service is, and the addresses of its two requests.
namespace service_address {

QUrl defaultBase();  // https://music.163.com

// An http or https address with a host (and optionally a port and a path prefix), without a
// query, fragment or user name; a trailing "/" is dropped. Nothing for any other text.
std::optional<QUrl> readBase(const QString& text);

// ZUVIK_LYRICS_BASE_URL when it is set and reads as a base; the default otherwise, with one log
// line when the variable held something unusable.
QUrl fromEnvironment();

// The service's home page, sent as the Referer: the base followed by "/".
QByteArray referer(const QUrl& base);
// The two headers of every request: a browser's User-Agent and the Referer.
QList<QPair<QByteArray, QByteArray>> headers(const QUrl& base);

// base + path with the items as its query, in their order: every value percent-encoded except
// the unreserved characters, so a "+" or "&" in a name arrives as itself and a space is %20.
QUrl withPathAndQuery(const QUrl& base, const QString& path, const QList<QPair<QString, QString>>& items);
// A base from the variable when it is set and reads as one (readBase); the fallback otherwise,
// with one log line when the variable held something unusable.
QUrl baseFromVariable(const char* variable, const QUrl& fallback);

// "/api/search/get" with s = query, type = 1, limit = 30, offset = 0, in this order.
QUrl searchUrl(const QUrl& base, const QString& query);
// "/api/song/lyric/v1" with id, cp = false, and lv, kv, tv, rv, yv, ytv, yrv = 0, in this order.
QUrl lyricUrl(const QUrl& base, std::int64_t id);

}  // namespace service_address
