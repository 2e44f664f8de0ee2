#pragma once

#include "lyrics/Candidate.h"
#include "lyrics/TimedLyrics.h"

#include <QObject>

#include <optional>

// Where a lookup's answer came from: a rejection needs to know which source's candidate gave it.
struct LyricsOrigin {
    enum class Kind { none, ready, localFile, cache, service };
    Kind kind = Kind::none;
    Candidate candidate;  // the one whose text was used, when candidateKnown
    // Always for `service`; for `cache` when the file says (lyrics of any source but the first service).
    bool candidateKnown = false;
    bool noOtherMatch = false;  // nothing was found, and the user has sent matches of this track away

    friend bool operator==(const LyricsOrigin&, const LyricsOrigin&) = default;
};

// A track's lyrics on their way: from the service, or from somewhere that already has them. The
// engine holds one per track, listens for `finished` and cancels it when the track changes.
class PendingLyrics : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // After a cancel, `finished` is never emitted.
    virtual void cancel() = 0;

    // Where the answer came from; valid from `finished` on.
    const LyricsOrigin& origin() const { return m_origin; }

Q_SIGNALS:
    // The lyrics found (never an empty document), or nothing. Emitted at most once.
    void finished(const std::optional<TimedLyrics>& lyrics);

protected:
    LyricsOrigin m_origin;
};

// Lyrics that are already at hand, handed over from the event loop like a real lookup's answer
// (so the receiver has connected by then); deletes itself afterwards.
class ReadyLyrics : public PendingLyrics {
    Q_OBJECT
public:
    ReadyLyrics(std::optional<TimedLyrics> lyrics, QObject* parent);
    void cancel() override { m_cancelled = true; }

private:
    void deliver();

    std::optional<TimedLyrics> m_lyrics;
    bool m_cancelled = false;
};
