#pragma once

#include "lyrics/PendingLyrics.h"
#include "lyrics/TimedLyrics.h"
#include "playback/NowPlayingTrack.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QThreadPool;

// Lyric files the user keeps: beside the playing file, or in a folder of "ARTIST - TITLE.lrc".
namespace local_lyrics {

// Larger files are not lyrics of one song; they are ignored with a log line.
inline constexpr qint64 maxFileBytes = 1024 * 1024;

// The files that may hold the track's lyrics, best first: the playing file's base name with a
// ".lrc" extension in any case (when the track's url is a file:// address), then every
// "ARTIST - TITLE.lrc" of `folder` whose artist and title have the track's search keys.
// Only regular files are listed. Reads directories: not for the GUI thread.
QStringList candidatePaths(const NowPlayingTrack& track, const QString& folder);

struct Found {
    QString path;
    TimedLyrics lyrics;
};

// The first candidate that reads as lyrics, logged as "lyrics: local file PATH (N words)"; a
// file over maxFileBytes is skipped with a log line. Blocking file I/O.
std::optional<Found> find(const NowPlayingTrack& track, const QString& folder);

}  // namespace local_lyrics

// A lookup that tries the user's lyric files first, on a worker pool, and only when none reads
// starts the service lookup (which then runs exactly as it would alone). A local file's lyrics are
// never written to the cache.
class LocalFirstLyrics : public PendingLyrics {
    Q_OBJECT
public:
    using StartService = std::function<PendingLyrics*()>;

    LocalFirstLyrics(NowPlayingTrack track, QString folder, QThreadPool& pool, StartService startService,
                     QObject* parent);
    void cancel() override;

private:
    void onLocalResult(std::optional<TimedLyrics> lyrics);
    void finish(const std::optional<TimedLyrics>& lyrics);

    StartService m_startService;
    PendingLyrics* m_service = nullptr;  // deletes itself; only touched before it has finished
    bool m_cancelled = false;
};
