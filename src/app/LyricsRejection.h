#pragma once

#include "lyrics/PendingLyrics.h"
#include "playback/NowPlayingTrack.h"

#include <QObject>
#include <QString>

#include <functional>

class LyricEngine;

// What "Wrong Lyrics — Try Another" can do for the lyrics on show.
enum class RejectionState {
    unavailable,  // nothing playing, no lyrics, or lyrics that no service candidate gave
    available,
    noOtherMatch,  // the user sent every match of this track away: nothing is shown
};

// Sends the candidate that gave the current lyrics away and shows the next one's, through a retry
// lookup that replaces the engine's. Main thread.
class LyricsRejection : public QObject {
    Q_OBJECT
public:
    using StartRetry =
        std::function<PendingLyrics*(const NowPlayingTrack&, const LyricsOrigin& origin, const TimedLyrics& wrong)>;
    // Called once the retry has an answer: what the user reads, and whether other lyrics are on show.
    using Done = std::function<void(bool found, const QString& text)>;

    LyricsRejection(LyricEngine& engine, StartRetry startRetry, QObject* parent = nullptr);

    RejectionState state() const;
    // Starts a retry and answers through `done` when it ends (a track change ends it too). When
    // there is nothing to reject, `done` is called at once with the reason.
    void reject(Done done = {});

Q_SIGNALS:
    void stateChanged(RejectionState state);

private:
    void onLyricsChanged();
    std::optional<QString> refusal() const;

    LyricEngine& m_engine;
    StartRetry m_startRetry;
    RejectionState m_state = RejectionState::unavailable;
};
