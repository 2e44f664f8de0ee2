#include "lyrics/LyricsCache.h"

#include "foundation/DiagLog.h"
#include "foundation/AtomicFileWrite.h"
#include "foundation/RegularFileRead.h"
#include "lyrics/CacheFileName.h"
#include "lyrics/TimedLyricsJson.h"

#include <QDir>
#include <QFile>

#include <variant>

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
    const FileRead file = readRegularFile(fileLocation(track), maxFileBytes);
    if (file.status != FileRead::Status::read)
        return std::nullopt;
    auto decoded = decodeTimedLyrics(file.bytes);
    auto* lyrics = std::get_if<TimedLyrics>(&decoded);
    // An empty document is never handed out as lyrics: it would stand for a track that has none.
    if (!lyrics || lyrics->isEmpty())
        return std::nullopt;
    return std::move(*lyrics);
}

void LyricsCache::write(const TimedLyrics& lyrics, const NowPlayingTrack& track) const
{
    const QByteArray bytes = encodeTimedLyrics(lyrics);
    if (bytes.isEmpty())
        return;
    const QString path = fileLocation(track);
    const WriteResult result = writeFileAtomically(path, bytes);
    if (!result.written)
        DiagLog::log(QStringLiteral("lyrics: cache file %1 not written: %2").arg(path, result.error));
}

void LyricsCache::remove(const NowPlayingTrack& track) const { QFile::remove(fileLocation(track)); }
