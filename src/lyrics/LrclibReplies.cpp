#include "lyrics/LrclibReplies.h"

#include "lyrics/JsonNumbers.h"

#include <QJsonArray>

#include <cmath>

namespace {

// Seconds as LRCLIB writes them (233 or 233.5) in whole milliseconds; nothing for a value that is
// not a finite number of a track's size.
std::optional<std::int64_t> durationMs(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double seconds = value.toDouble();
    if (!std::isfinite(seconds) || seconds < 0 || seconds > 1e9)
        return std::nullopt;
    return std::llround(seconds * 1000.0);
}

}  // namespace

std::optional<LrclibRecord> lrclibRecordFrom(const QJsonObject& object)
{
    const std::optional<std::int64_t> id = jsonInteger(object.value(QLatin1String("id")));
    const QJsonValue name = object.value(QLatin1String("trackName"));
    const QJsonValue artist = object.value(QLatin1String("artistName"));
    const std::optional<std::int64_t> duration = durationMs(object.value(QLatin1String("duration")));
    if (!id || !name.isString() || !artist.isString() || !duration)
        return std::nullopt;
    LrclibRecord record;
    record.candidate = Candidate{*id, name.toString(), {artist.toString()}, *duration, LyricSource::lrclib};
    record.instrumental = object.value(QLatin1String("instrumental")).toBool(false);
    const QJsonValue plain = object.value(QLatin1String("plainLyrics"));
    record.hasPlainLyrics = plain.isString() && !plain.toString().trimmed().isEmpty();
    const QJsonValue synced = object.value(QLatin1String("syncedLyrics"));
    if (synced.isString() && !synced.toString().trimmed().isEmpty())
        record.syncedLyrics = synced.toString();
    return record;
}

std::optional<LrclibRecord> lrclibRecordFromReply(const QJsonDocument& reply)
{
    return reply.isObject() ? lrclibRecordFrom(reply.object()) : std::nullopt;
}

std::optional<QList<LrclibRecord>> lrclibRecordsFromReply(const QJsonDocument& reply)
{
    if (!reply.isArray())
        return std::nullopt;
    QList<LrclibRecord> records;
    for (const QJsonValue& element : reply.array()) {
        if (std::optional<LrclibRecord> record = lrclibRecordFrom(element.toObject()))
            records.append(std::move(*record));
    }
    return records;
}
