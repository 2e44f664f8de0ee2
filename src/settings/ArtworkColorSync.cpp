#include "settings/ArtworkColorSync.h"

#include "foundation/DiagLog.h"
#include "settings/AppSettings.h"
#include "settings/ArtworkWorker.h"

ArtworkColorSync::ArtworkColorSync(AppSettings& settings, SourceFactory makeSource, ArtworkLimits limits,
                                   QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_worker(new ArtworkWorker(std::move(makeSource), limits))
{
    m_thread.setObjectName(QStringLiteral("app.orvane.artwork"));
    m_worker->moveToThread(&m_thread);
    // The source may own D-Bus connections and the loader a network session of that thread, so
    // they go away there.
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &ArtworkWorker::accentFound, this, &ArtworkColorSync::apply, Qt::QueuedConnection);
    m_thread.start();
}

ArtworkColorSync::~ArtworkColorSync()
{
    // Ends every event loop of the thread, the download wait's included; a wait started after
    // this returns at once.
    m_thread.quit();
    m_thread.wait();
}

void ArtworkColorSync::trackChanged(const std::optional<NowPlayingTrack>& track)
{
    m_lastTrack = track;
    m_appliedForTrack.reset();
    if (m_settings.autoSyncColors())
        refresh();
}

void ArtworkColorSync::refresh()
{
    if (!m_settings.autoSyncColors() || !m_lastTrack)
        return;
    if (isSameTrack(m_appliedForTrack, m_lastTrack))
        return;
    ArtworkWorker* const worker = m_worker;
    QMetaObject::invokeMethod(
        worker, [worker, track = *m_lastTrack] { worker->run(track); }, Qt::QueuedConnection);
}

void ArtworkColorSync::apply(const Color& accent, const NowPlayingTrack& track)
{
    // The job does not compare its track with the current one: a late colour is applied, filed
    // under its own track, and the job queued for the new track runs after it.
    if (!m_settings.autoSyncColors())
        return;
    m_appliedForTrack = track;
    m_settings.applyArtworkAccent(accent);
    DiagLog::log(QStringLiteral("auto sync: accent ") + colorHexString(accent));
}
