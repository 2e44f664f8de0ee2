#include "lyrics/ServiceReplies.h"

#include "lyrics/JsonNumbers.h"

#include <QJsonArray>

#include <algorithm>

namespace {

// An array whose every element is an object; an array holding anything else is of another type.
std::optional<QJsonArray> arrayOfObjects(const QJsonValue& value)
{
    if (!value.isArray())
        return std::nullopt;
    QJsonArray array = value.toArray();
    const bool allObjects = std::all_of(array.begin(), array.end(), [](const QJsonValue& v) { return v.isObject(); });
    return allObjects ? std::optional(std::move(array)) : std::nullopt;
}

QStringList artistNames(const QJsonValue& value)
{
    QStringList names;
    for (const QJsonValue& artist : arrayOfObjects(value).value_or(QJsonArray())) {
        const QJsonValue name = artist.toObject().value(QLatin1String("name"));
        if (name.isString())
            names.append(name.toString());
    }
    return names;
}

std::optional<Candidate> candidateFrom(const QJsonObject& song)
{
    const std::optional<std::int64_t> id = jsonInteger(song.value(QLatin1String("id")));
    if (!id)
        return std::nullopt;
    return Candidate{
        *id,
        song.value(QLatin1String("name")).toString(),
        artistNames(song.value(QLatin1String("artists"))),
        jsonInteger(song.value(QLatin1String("duration"))).value_or(0),
    };
}

std::optional<QString> lyricText(const QJsonObject& reply, QLatin1String member)
{
    const QJsonValue text = reply.value(member).toObject().value(QLatin1String("lyric"));
    if (!text.isString() || text.toString().isEmpty())
        return std::nullopt;
    return text.toString();
}

}  // namespace

std::optional<QList<Candidate>> candidatesFromSearchReply(const QJsonObject& reply)
{
    const QJsonValue result = reply.value(QLatin1String("result"));
    if (!result.isObject())
        return std::nullopt;
    const std::optional<QJsonArray> songs = arrayOfObjects(result.toObject().value(QLatin1String("songs")));
    if (!songs)
        return std::nullopt;
    QList<Candidate> candidates;
    for (const QJsonValue& song : *songs) {
        if (std::optional<Candidate> candidate = candidateFrom(song.toObject()))
            candidates.append(std::move(*candidate));
    }
    return candidates;
}

LyricTexts lyricTextsFromReply(const QJsonObject& reply)
{
    return LyricTexts{lyricText(reply, QLatin1String("yrc")), lyricText(reply, QLatin1String("lrc"))};
}
