#include "lyrics/LyricsCache.h"

#include "foundation/DiagLog.h"
#include "foundation/AtomicFileWrite.h"
#include "foundation/RegularFileRead.h"
#include "lyrics/CacheFileName.h"
#include "lyrics/TimedLyricsJson.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <variant>

namespace {

const QString fromKey = QStringLiteral("from");

QJsonObject originObject(const Candidate& from)
{
    return {{QStringLiteral("source"), sourceName(from.source)},
            {QStringLiteral("id"), QString::number(from.id)},
            {QStringLiteral("name"), from.name},
            {QStringLiteral("artists"), QJsonArray::fromStringList(from.artists)}};
}

// Where the document came from, when the file says so in a form this build reads.
std::optional<Candidate> originOf(const QJsonObject& document)
{
    const QJsonObject from = document.value(fromKey).toObject();
    const std::optional<LyricSource> source = lyricSourceNamed(from.value(QLatin1String("source")).toString());
    bool ok = false;
    const std::int64_t id = from.value(QLatin1String("id")).toString().toLongLong(&ok);
    if (!source || !ok)
        return std::nullopt;
    QStringList artists;
    for (const QJsonValue& artist : from.value(QLatin1String("artists")).toArray())
        artists.append(artist.toString());
    return Candidate{id, from.value(QLatin1String("name")).toString(), artists, 0, *source};
}

}  // namespace

QString LyricsCache::prepare(const QString& cacheFolder)
{
    const QDir application(cacheFolder + QStringLiteral("/Orvane"));
    for (const QString& older :
         {QStringLiteral("Lyrics/v2"), QStringLiteral("Lyrics/v3"), QStringLiteral("Lyrics/v4")}) {
        QDir folder(application.filePath(older));
        if (folder.exists())
            folder.removeRecursively();
    }
    const QString current = application.filePath(QStringLiteral("Lyrics/v5"));
    QDir().mkpath(current);
    return current;
}

LyricsCache::LyricsCache(QString directory)
    : m_directory(std::move(directory))
{}

QString LyricsCache::fileLocation(const NowPlayingTrack& track) const
{
    return m_directory + u'/' + cacheFileName(cacheKey(track));
}

std::optional<TimedLyrics> LyricsCache::read(const NowPlayingTrack& track) const
{
    std::optional<Entry> entry = readEntry(track);
    return entry ? std::optional(std::move(entry->lyrics)) : std::nullopt;
}

std::optional<LyricsCache::Entry> LyricsCache::readEntry(const NowPlayingTrack& track) const
{
    const FileRead file = readRegularFile(fileLocation(track), maxFileBytes);
    if (file.status != FileRead::Status::read)
        return std::nullopt;
    // Parsed once: the lyrics and where they came from are members of the same object.
    const QJsonDocument document = QJsonDocument::fromJson(file.bytes);
    if (!document.isObject())
        return std::nullopt;
    auto decoded = decodeTimedLyrics(document.object());
    auto* lyrics = std::get_if<TimedLyrics>(&decoded);
    // An empty document is never handed out as lyrics: it would stand for a track that has none.
    if (!lyrics || lyrics->isEmpty())
        return std::nullopt;
    return Entry{std::move(*lyrics), originOf(document.object())};
}

void LyricsCache::write(const TimedLyrics& lyrics, const NowPlayingTrack& track,
                        const std::optional<Candidate>& from) const
{
    QJsonObject document = timedLyricsObject(lyrics);
    if (from && from->source != LyricSource::ncm)
        document.insert(fromKey, originObject(*from));
    const QByteArray bytes = QJsonDocument(document).toJson(QJsonDocument::Compact);
    const QString path = fileLocation(track);
    const WriteResult result = writeFileAtomically(path, bytes);
    if (!result.written)
        DiagLog::log(QStringLiteral("lyrics: cache file %1 not written: %2").arg(path, result.error));
}

void LyricsCache::remove(const NowPlayingTrack& track) const { QFile::remove(fileLocation(track)); }
