#pragma once

#include "playback/ArtworkSource.h"
#include "playback/NowPlayingTrack.h"
#include "settings/ArtworkLoader.h"
#include "settings/Color.h"

#include <QObject>
#include <QThread>

#include <functional>
#include <memory>
#include <optional>

class AppSettings;
class ArtworkWorker;

// With auto sync on, takes the lyric colours from the album artwork of the track that plays: at
// most once per track, the artwork is fetched, reduced to one accent colour and handed to the
// settings. The fetching and the reduction run on the artwork thread ("app.orvane.artwork"), one
// job at a time in the order queued; deciding and applying happen here, on the main thread.
class ArtworkColorSync : public QObject {
    Q_OBJECT
public:
    // Makes the artwork source; called once, on the artwork thread, at the first job. Nothing
    // means there is no way to ask a player, and every job then finds no artwork.
    using SourceFactory = std::function<std::unique_ptr<ArtworkSource>()>;

    ArtworkColorSync(AppSettings& settings, SourceFactory makeSource, ArtworkLimits limits = {},
                     QObject* parent = nullptr);
    // Stops the artwork thread without waiting for a server: a download in progress, or one a
    // waiting job would start, ends at once with no picture.
    ~ArtworkColorSync() override;

    // Each change of the current track (none included), as the lyric engine delivers it.
    void trackChanged(const std::optional<NowPlayingTrack>& track);
    // Queues one artwork job for the current track if auto sync is on and the track's colours
    // have not been applied yet. Calls for the same track before its colours arrive queue a job each.
    void refresh();

    const std::optional<NowPlayingTrack>& lastTrack() const { return m_lastTrack; }
    const std::optional<NowPlayingTrack>& appliedForTrack() const { return m_appliedForTrack; }

private:
    void apply(const Color& accent, const NowPlayingTrack& track);

    AppSettings& m_settings;
    std::optional<NowPlayingTrack> m_lastTrack;
    std::optional<NowPlayingTrack> m_appliedForTrack;
    QThread m_thread;
    ArtworkWorker* m_worker;  // lives on m_thread, which deletes it when it finishes
};
