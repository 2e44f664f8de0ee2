#include "app/LyricsRejection.h"

#include "app/LyricEngine.h"
#include "lyrics/LyricsLog.h"

#include <memory>

using lyrics_log::artistAndTitle;

LyricsRejection::LyricsRejection(LyricEngine& engine, StartRetry startRetry, QObject* parent)
    : QObject(parent)
    , m_engine(engine)
    , m_startRetry(std::move(startRetry))
{
    connect(&engine, &LyricEngine::lyricsChanged, this, &LyricsRejection::onLyricsChanged);
    onLyricsChanged();
}

RejectionState LyricsRejection::state() const { return m_state; }

void LyricsRejection::onLyricsChanged()
{
    const LyricsOrigin& origin = m_engine.lyricsOrigin();
    RejectionState state = RejectionState::unavailable;
    if (m_engine.lyrics() && (origin.kind == LyricsOrigin::Kind::service || origin.kind == LyricsOrigin::Kind::cache))
        state = RejectionState::available;
    else if (!m_engine.lyrics() && origin.noOtherMatch)
        state = RejectionState::noOtherMatch;
    if (state == m_state)
        return;
    m_state = state;
    Q_EMIT stateChanged(state);
}

std::optional<QString> LyricsRejection::refusal() const
{
    const std::optional<NowPlayingTrack> track = m_engine.track();
    if (!track)
        return QStringLiteral("nothing is playing");
    switch (m_engine.lyricsOrigin().kind) {
    case LyricsOrigin::Kind::localFile:
        return QStringLiteral("the lyrics of ") + artistAndTitle(*track) + QStringLiteral(" come from a local file");
    case LyricsOrigin::Kind::ready:
        return QStringLiteral("the demo's lyrics have no other match");
    case LyricsOrigin::Kind::none:
        return m_engine.lyricsOrigin().noOtherMatch
                   ? QStringLiteral("no other match for ") + artistAndTitle(*track)
                   : QStringLiteral("no lyrics are showing for ") + artistAndTitle(*track);
    case LyricsOrigin::Kind::cache:
    case LyricsOrigin::Kind::service:
        break;
    }
    if (!m_engine.lyrics())
        return QStringLiteral("no lyrics are showing for ") + artistAndTitle(*track);
    return std::nullopt;
}

void LyricsRejection::reject(Done done)
{
    if (const std::optional<QString> reason = refusal()) {
        if (done)
            done(false, *reason);
        return;
    }
    const NowPlayingTrack track = *m_engine.track();
    PendingLyrics* retry = m_startRetry(track, m_engine.lyricsOrigin(), *m_engine.lyrics());
    if (!retry) {
        if (done)
            done(false, QStringLiteral("no other match for ") + artistAndTitle(track));
        return;
    }
    // Exactly one answer: the retry's own, or the track change that cancelled it.
    auto answered = std::make_shared<bool>(false);
    connect(retry, &PendingLyrics::finished, this,
            [retry, track, done, answered](const std::optional<TimedLyrics>& lyrics) {
                *answered = true;
                if (!done)
                    return;
                if (lyrics)
                    done(true, QStringLiteral("now showing ") + lyrics_log::described(retry->origin().candidate)
                                   + QStringLiteral(" for ") + artistAndTitle(track));
                else
                    done(false, QStringLiteral("no other match for ") + artistAndTitle(track));
            });
    connect(retry, &QObject::destroyed, this, [track, done, answered] {
        if (!*answered && done)
            done(false, QStringLiteral("the track changed before another match for ") + artistAndTitle(track)
                            + QStringLiteral(" was found"));
    });
    m_engine.replaceLookup(retry);
}
