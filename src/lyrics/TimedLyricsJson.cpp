#include "lyrics/TimedLyricsJson.h"

#include "lyrics/DocumentBudget.h"
#include "lyrics/JsonNumbers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace {

QJsonObject wordObject(const TimedWord& word)
{
    return QJsonObject{
        {QStringLiteral("text"), word.text},
        {QStringLiteral("start"), word.start},
        {QStringLiteral("end"), word.end},
        {QStringLiteral("line"), static_cast<qint64>(word.line)},
    };
}

std::optional<TimedWord> decodeWord(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const QJsonValue text = object.value(QLatin1String("text"));
    const QJsonValue start = object.value(QLatin1String("start"));
    const QJsonValue end = object.value(QLatin1String("end"));
    const std::optional<std::int64_t> line = jsonInteger(object.value(QLatin1String("line")));
    if (!text.isString() || !start.isDouble() || !end.isDouble() || !line)
        return std::nullopt;
    return TimedWord{text.toString(), start.toDouble(), end.toDouble(), *line};
}

}  // namespace

QJsonObject timedLyricsObject(const TimedLyrics& lyrics)
{
    QJsonArray words;
    for (const TimedWord& word : lyrics.words())
        words.append(wordObject(word));
    return {
        {QStringLiteral("tier"), rawValue(lyrics.tier())},
        {QStringLiteral("words"), words},
    };
}

QByteArray encodeTimedLyrics(const TimedLyrics& lyrics)
{
    return QJsonDocument(timedLyricsObject(lyrics)).toJson(QJsonDocument::Compact);
}

std::variant<TimedLyrics, LyricsDecodeError> decodeTimedLyrics(QByteArrayView json)
{
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(json.toByteArray(), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return LyricsDecodeError{QStringLiteral("malformed JSON: ") + parseError.errorString()};
    if (!document.isObject())
        return LyricsDecodeError{QStringLiteral("the document is not an object")};
    return decodeTimedLyrics(document.object());
}

std::variant<TimedLyrics, LyricsDecodeError> decodeTimedLyrics(const QJsonObject& object)
{
    const QJsonValue tierValue = object.value(QLatin1String("tier"));
    const std::optional<LyricTier> tier = tierValue.isString() ? lyricTierFromRawValue(tierValue.toString())
                                                               : std::nullopt;
    if (!tier)
        return LyricsDecodeError{QStringLiteral("missing or unknown \"tier\"")};

    const QJsonValue wordsValue = object.value(QLatin1String("words"));
    if (!wordsValue.isArray())
        return LyricsDecodeError{QStringLiteral("missing \"words\" array")};
    const QJsonArray wordArray = wordsValue.toArray();
    // Written by an older build that read texts without a budget, or by hand: not lyrics to draw.
    if (wordArray.size() > DocumentBudget::maxWords)
        return LyricsDecodeError{QStringLiteral("more words than a song holds")};
    QList<TimedWord> words;
    words.reserve(wordArray.size());
    for (const QJsonValue& value : wordArray) {
        std::optional<TimedWord> word = decodeWord(value);
        if (!word)
            return LyricsDecodeError{QStringLiteral("word %1 lacks a member or has a mistyped one").arg(words.size())};
        words.append(std::move(*word));
    }
    return TimedLyrics(*tier, std::move(words));
}
