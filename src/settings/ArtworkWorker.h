#pragma once

#include "settings/ArtworkColorSync.h"

#include <QObject>

// The artwork job's steps, on the artwork thread: ask the source, load the picture, extract the
// accent. Touched only on that thread.
class ArtworkWorker : public QObject {
    Q_OBJECT
public:
    ArtworkWorker(ArtworkColorSync::SourceFactory makeSource, ArtworkLimits limits);
    ~ArtworkWorker() override;

    // One job for a track: the accent of whatever the player shows now, filed under `track`.
    void run(const NowPlayingTrack& track);

Q_SIGNALS:
    void accentFound(const Color& accent, const NowPlayingTrack& track);

private:
    std::optional<QImage> fetchArtwork();

    ArtworkColorSync::SourceFactory m_makeSource;
    std::unique_ptr<ArtworkSource> m_source;
    ArtworkLoader m_loader;
};
