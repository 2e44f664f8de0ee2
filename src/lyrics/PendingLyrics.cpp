#include "lyrics/PendingLyrics.h"

ReadyLyrics::ReadyLyrics(std::optional<TimedLyrics> lyrics, QObject* parent)
    : PendingLyrics(parent)
    , m_lyrics(std::move(lyrics))
{
    m_origin.kind = LyricsOrigin::Kind::ready;
    QMetaObject::invokeMethod(this, &ReadyLyrics::deliver, Qt::QueuedConnection);
}

void ReadyLyrics::deliver()
{
    if (!m_cancelled)
        Q_EMIT finished(m_lyrics);
    deleteLater();
}
