#pragma once

#include "lyrics/PendingLyrics.h"
#include "lyrics/TimedLyrics.h"
#include "playback/NowPlayingMonitor.h"
#include "playback/NowPlayingTrack.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

// Ties track changes to lyric lookups: every new track cancels the previous lookup, clears the
// lyrics at once and fetches the new track's; an answer that arrives for a track no longer
// current never reaches `lyrics`. Also answers where the playhead is for any instant. Main thread.
class LyricEngine : public QObject {
    Q_OBJECT
public:
    // The playhead runs this far ahead of the player, so that a word lights up as it is heard.
    static constexpr double playheadLead = 0.18;

    // Starts a lookup for a track; the lookup answers with its finished signal (see PendingLyrics).
    using StartLookup = std::function<PendingLyrics*(const NowPlayingTrack&)>;

    // Creates and owns the monitor, which starts polling at once.
    LyricEngine(NowPlayingMonitor::StartQuery startQuery, StartLookup startLookup, QObject* parent = nullptr,
                NowPlayingMonitor::Clock clock = &QDateTime::currentDateTimeUtc);
    ~LyricEngine() override;

    const std::optional<TimedLyrics>& lyrics() const { return m_lyrics; }
    // Where the lyrics (or their absence) came from; none while a lookup runs.
    const LyricsOrigin& lyricsOrigin() const { return m_origin; }
    // The track the lyrics are for; nothing before the first poll and while nothing plays.
    std::optional<NowPlayingTrack> track() const { return m_lastTrack ? *m_lastTrack : std::nullopt; }
    // Lyrics for the current track from another lookup (the user rejected these): the running
    // lookup is cancelled and the lyrics cleared at once.
    void replaceLookup(PendingLyrics* lookup);
    NowPlayingMonitor& nowPlaying() { return m_monitor; }
    double playhead(const QDateTime& instant) const;

Q_SIGNALS:
    // Every assignment, also of an unchanged value.
    void lyricsChanged(const std::optional<TimedLyrics>& lyrics);
    // Seams for the services that follow the engine, connected by whoever builds the application:
    // the word-visual resolver warms up on the words of newly found lyrics; the artwork colour
    // sync follows every distinct track value (none included), also while no engine logic runs.
    void lyricsFound(const QList<TimedWord>& words);
    void trackDelivered(const std::optional<NowPlayingTrack>& track);

private:
    void onMonitorTrack(const std::optional<NowPlayingTrack>& track);
    void trackChanged(const std::optional<NowPlayingTrack>& track);
    void follow(PendingLyrics* lookup);
    void onLookupFinished(PendingLyrics* lookup, const std::optional<TimedLyrics>& answer);
    void setLyrics(const std::optional<TimedLyrics>& lyrics);

    const StartLookup m_startLookup;
    NowPlayingMonitor m_monitor;
    std::optional<std::optional<NowPlayingTrack>> m_lastTrack;  // outer empty: nothing delivered yet
    QPointer<PendingLyrics> m_fetch;
    std::optional<TimedLyrics> m_lyrics;
    LyricsOrigin m_origin;
};
