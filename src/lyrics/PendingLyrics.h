#pragma once

#include "lyrics/TimedLyrics.h"

#include <QObject>

#include <optional>

// A track's lyrics on their way: from the service, or from somewhere that already has them. The
// engine holds one per track, listens for `finished` and cancels it when the track changes.
class PendingLyrics : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // After a cancel, `finished` is never emitted.
    virtual void cancel() = 0;

Q_SIGNALS:
    // The lyrics found (never an empty document), or nothing. Emitted at most once.
    void finished(const std::optional<TimedLyrics>& lyrics);
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
