#include "lyrics/LocalLyricsFinder.h"

#include "foundation/DiagLog.h"
#include "foundation/RegularFileRead.h"
#include "lyrics/LocalLyricsParser.h"
#include "lyrics/SearchKey.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QThreadPool>
#include <QUrl>

namespace local_lyrics {

namespace {

bool hasLrcSuffix(const QFileInfo& info)
{
    return info.suffix().compare(QStringLiteral("lrc"), Qt::CaseInsensitive) == 0;
}

// The file beside the playing one, whatever the case of its extension.
std::optional<QString> besideTrack(const NowPlayingTrack& track)
{
    const QUrl url(track.url);
    if (!url.isLocalFile())
        return std::nullopt;
    const QFileInfo playing(url.toLocalFile());
    const QString base = playing.completeBaseName();
    const QDir folder = playing.dir();
    for (const QFileInfo& entry : folder.entryInfoList(QDir::Files | QDir::Hidden)) {
        if (hasLrcSuffix(entry) && entry.completeBaseName() == base)
            return entry.filePath();
    }
    return std::nullopt;
}

// "ARTIST - TITLE": any " - " may be the split, since artists and titles hold dashes too.
bool namesTrack(const QString& stem, const QString& artistKey, const QString& titleKey)
{
    const QString separator = QStringLiteral(" - ");
    for (qsizetype at = stem.indexOf(separator); at >= 0; at = stem.indexOf(separator, at + 1)) {
        if (searchKey(QStringView(stem).first(at)) == artistKey
            && searchKey(QStringView(stem).sliced(at + separator.size())) == titleKey)
            return true;
    }
    return false;
}

std::optional<TimedLyrics> readFile(const QString& path)
{
    // A link to a FIFO or a device is never opened for a blocking read: it would hold the
    // lyric-file thread for the rest of the session.
    const FileRead file = readRegularFile(path, maxFileBytes);
    switch (file.status) {
    case FileRead::Status::read:
        return parseLocalLyrics(decodeLyricFile(file.bytes));
    case FileRead::Status::tooLarge:
        DiagLog::log(QStringLiteral("lyrics: local file ") + path + QStringLiteral(" is over 1 MiB — ignored"));
        return std::nullopt;
    case FileRead::Status::notRegular:
    case FileRead::Status::unreadable:
        DiagLog::log(QStringLiteral("lyrics: local file ") + path + QStringLiteral(" cannot be read — ") + file.error);
        return std::nullopt;
    case FileRead::Status::missing:
        break;
    }
    return std::nullopt;
}

}  // namespace

QStringList candidatePaths(const NowPlayingTrack& track, const QString& folder)
{
    QStringList paths;
    if (const std::optional<QString> beside = besideTrack(track))
        paths.append(*beside);
    const QString artistKey = searchKey(track.artist);
    const QString titleKey = searchKey(track.title);
    if (titleKey.isEmpty())
        return paths;
    const QDir dir(folder);
    for (const QFileInfo& entry : dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name)) {
        if (hasLrcSuffix(entry) && namesTrack(entry.completeBaseName(), artistKey, titleKey)
            && !paths.contains(entry.filePath()))
            paths.append(entry.filePath());
    }
    return paths;
}

std::optional<Found> find(const NowPlayingTrack& track, const QString& folder)
{
    for (const QString& path : candidatePaths(track, folder)) {
        if (std::optional<TimedLyrics> lyrics = readFile(path)) {
            DiagLog::log(QStringLiteral("lyrics: local file ") + path
                         + QStringLiteral(" (%1 words)").arg(lyrics->words().size()));
            return Found{path, std::move(*lyrics)};
        }
    }
    return std::nullopt;
}

}  // namespace local_lyrics

LocalFirstLyrics::LocalFirstLyrics(NowPlayingTrack track, QString folder, QThreadPool& pool, StartService startService,
                                   QObject* parent)
    : PendingLyrics(parent)
    , m_startService(std::move(startService))
{
    // The answer is posted to the application object, which outlives this one, and applied only
    // if this lookup still exists then.
    pool.start([self = QPointer(this), track = std::move(track), folder = std::move(folder)] {
        std::optional<local_lyrics::Found> found = local_lyrics::find(track, folder);
        std::optional<TimedLyrics> lyrics = found ? std::optional(std::move(found->lyrics)) : std::nullopt;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, lyrics = std::move(lyrics)] {
                if (self)
                    self->onLocalResult(lyrics);
            },
            Qt::QueuedConnection);
    });
}

void LocalFirstLyrics::cancel()
{
    m_cancelled = true;
    if (m_service)
        m_service->cancel();
}

void LocalFirstLyrics::onLocalResult(std::optional<TimedLyrics> lyrics)
{
    if (m_cancelled) {
        deleteLater();
        return;
    }
    if (lyrics) {
        m_origin.kind = LyricsOrigin::Kind::localFile;
        finish(lyrics);
        return;
    }
    m_service = m_startService ? m_startService() : nullptr;
    if (!m_service) {
        finish(std::nullopt);
        return;
    }
    connect(m_service, &PendingLyrics::finished, this,
            [this, service = m_service](const std::optional<TimedLyrics>& answer) {
                m_origin = service->origin();
                finish(answer);
            });
    connect(m_service, &QObject::destroyed, this, [this] {
        m_service = nullptr;
        // A service lookup that ends without answering (cancelled) leaves nothing to wait for.
        if (m_cancelled)
            deleteLater();
    });
}

void LocalFirstLyrics::finish(const std::optional<TimedLyrics>& lyrics)
{
    m_service = nullptr;
    if (!m_cancelled)
        Q_EMIT finished(lyrics);
    deleteLater();
}
