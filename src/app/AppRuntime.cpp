#include "app/AppRuntime.h"

#include "app/AppServices.h"
#include "app/DemoTrack.h"
#include "foundation/DiagLog.h"
#include "app/EngineFrameFeed.h"
#include "app/LyricEngine.h"
#include "foundation/UserFolders.h"
#include "lyrics/LocalLyricsFinder.h"
#include "lyrics/LyricsProvider.h"
#include "lyrics/PendingLyrics.h"
#include "overlay/SurfaceOverlay.h"
#include "overlay/WindowOverlay.h"
#include "platform/PlayerBackends.h"
#include "playback/PlayerQuery.h"
#include "settings/AppSettings.h"
#include "settings/ArtworkColorSync.h"
#include "visuals/KeywordLookup.h"
#include "visuals/WordVisualResolver.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace {

StatusMenu::UpdateFeed updateFeed()
{
    return {QUrl(QStringLiteral(ZUVIK_UPDATE_FEED)), QCoreApplication::applicationVersion()};
}

// `zuvik offset …`, answered for the track now playing.
TimingAnswer answerTiming(TrackTiming& timing, const TimingRequest& request)
{
    std::optional<WriteResult> change;
    switch (request.kind) {
    case TimingRequest::Kind::set:
        change = timing.setOffset(request.seconds);
        break;
    case TimingRequest::Kind::reset:
        change = timing.reset();
        break;
    case TimingRequest::Kind::show:
        if (timing.track())
            change = WriteResult{true, {}};
        break;
    }
    if (!change)
        return {false, QStringLiteral("nothing is playing")};
    // The offset is in force, but it would be gone at the next start: the caller must hear so.
    if (!change->written)
        return {false, change->error};
    return {true, offsetLabel(timing.offset()) + QStringLiteral(" — ") + timing.track()->artist + QStringLiteral(" — ")
                      + timing.track()->title};
}

}  // namespace

AppRuntime::AppRuntime(const AppOptions& options, OverlayKind overlays, AppServices& services, QObject* parent)
    : QObject(parent)
    , m_options(options)
    , m_services(services)
    , m_settings(services.settings())
    , m_screenAwake(m_inhibitor, [this] { return m_settings.keepScreenAwake(); })
    , m_delegate(m_settings, overlayMaker(overlays), m_lockState, [this]() -> FrameFeed& { return feed(); })
    , m_statusMenu(m_settings, services.players(), services.startAtLogin(), updateFeed())
    , m_offsets(UserFolders::offsetsFile())
    , m_timing(m_offsets)
    , m_timingRequests([this](const TimingRequest& request) { return answerTiming(m_timing, request); })
    , m_lyricsRequests([this](const LyricsRequestService::Answer& answer) { rejectLyrics(answer); })
{
    m_lyricFiles.setMaxThreadCount(1);
    connect(&m_settings, &AppSettings::screenAwakeUpdateRequested, &m_screenAwake, &ScreenAwake::update);
    // The player query reads the preferences on its own thread, from the roster.
    PlayerRoster& players = m_services.players();
    players.setPreferences(m_settings.playerPreferences());
    connect(&m_settings, &AppSettings::playerPreferencesChanged, this,
            [&players](const PlayerPreferences& preferences) { players.setPreferences(preferences); });
    connect(&m_statusMenu, &StatusMenu::quitRequested, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    // Wayland lets a program open a menu only from a window of its own that was just clicked.
    if (QGuiApplication::platformName() == u"wayland")
        m_menuRequests.refuse(QStringLiteral("a Wayland session opens no menu at the pointer for a program without "
                                             "a window — use the menu of Zuvik's tray icon"));
    connect(&m_menuRequests, &MenuRequestService::popupRequested, &m_statusMenu, [this] {
        DiagLog::log(QStringLiteral("status menu: opened for zuvik --menu"));
        m_statusMenu.popupAtPointer();
    });
    connect(&m_statusMenu, &StatusMenu::timingNudgeRequested, &m_timing, &TrackTiming::nudge);
    connect(&m_statusMenu, &StatusMenu::timingResetRequested, &m_timing, &TrackTiming::reset);
    connect(&m_timing, &TrackTiming::trackAvailabilityChanged, &m_statusMenu, &StatusMenu::setTrackAvailable);
    connect(&m_statusMenu, &StatusMenu::rejectLyricsRequested, this, [this] { rejectLyrics({}); });
    connect(&m_timing, &TrackTiming::adjusted, &m_delegate,
            [this](double seconds) { m_delegate.showNotice(offsetLabel(seconds)); });
}

// Nothing when there is nothing to draw on: the status menu runs alone.
DisplayOverlayMaker AppRuntime::overlayMaker(OverlayKind overlays)
{
    if (overlays == OverlayKind::x11Windows)
        return [this](QQmlEngine& engine, QScreen& screen, FrameFeed& feed) -> std::unique_ptr<DisplayOverlay> {
            return std::make_unique<WindowOverlay>(engine, screen, feed, m_space);
        };
    if (overlays == OverlayKind::layerShell && (m_layerShell = LayerShell::connect()))
        return [shell = m_layerShell.get()](QQmlEngine& engine, QScreen& screen,
                                            FrameFeed& feed) -> std::unique_ptr<DisplayOverlay> {
            return std::make_unique<SurfaceOverlay>(engine, screen, feed,
                                                    [shell](QScreen& on) { return shell->surfaceFor(on); });
        };
    return {};
}

// "Wrong Lyrics — Try Another", from the menu (no answer wanted) or from `zuvik lyrics --reject`;
// the outcome goes to the log either way.
void AppRuntime::rejectLyrics(const LyricsRequestService::Answer& answer)
{
    const auto reply = [answer](bool done, const QString& text) {
        DiagLog::log(QStringLiteral("lyrics: ") + text);
        if (answer)
            answer(done, text);
    };
    if (!m_rejection) {
        reply(false, QStringLiteral("nothing is playing"));
        return;
    }
    m_rejection->reject(reply);
}

// The windows go first: their bands hold on to the feed.
AppRuntime::~AppRuntime() = default;

// The status item comes before the overlays, as a menu to reach them by.
void AppRuntime::start()
{
    m_statusMenu.install();
    m_delegate.launch();
}

FrameFeed& AppRuntime::feed()
{
    if (!m_feed) {
        LyricEngine& engine = startEngine();
        m_wordVisuals = std::make_unique<WordVisualResolver>(m_services.wordVisualSources(), m_services.keywords());
        connect(&engine, &LyricEngine::lyricsFound, m_wordVisuals.get(), &WordVisualResolver::prefetch);
        m_feed = std::make_unique<EngineFrameFeed>(engine, m_settings);
        m_feed->overrideStyle(m_options.style);
        m_feed->setVisuals([resolver = m_wordVisuals.get()](const QString& word) { return resolver->visual(word); });
        m_feed->setTimingOffset(m_timing.offset());
        connect(&m_timing, &TrackTiming::offsetChanged, m_feed.get(), &EngineFrameFeed::setTimingOffset);
    }
    return *m_feed;
}

LyricEngine& AppRuntime::startEngine()
{
    if (m_options.demo) {
        m_engine = std::make_unique<LyricEngine>(
            demo_track::playerQuery(QDateTime::currentDateTimeUtc(), &QDateTime::currentDateTimeUtc),
            [this](const NowPlayingTrack& track) -> PendingLyrics* {
                const bool isDemo = track == demo_track::track();
                return new ReadyLyrics(isDemo ? std::optional(demo_track::lyrics()) : std::nullopt, this);
            });
    } else {
        m_query = std::make_unique<PlayerQuery>(
            [&players = m_services.players()] { return makePlayerSource(players); });
        m_engine = std::make_unique<LyricEngine>(
            [this](NowPlayingMonitor::Completion done) { m_query->run(std::move(done)); },
            [this](const NowPlayingTrack& track) -> PendingLyrics* {
                // The user's own files come first; without one the service lookup runs as before.
                return new LocalFirstLyrics(
                    track, UserFolders::localLyricsFolder(), m_lyricFiles,
                    [this, track]() -> PendingLyrics* { return m_services.lyrics().lookup(track); }, this);
            });
        // A seek in the player shows at the next frame, not at the next poll.
        m_query->setSeekListener(m_engine->nowPlaying().seekReporter());
        // The demo has no cover; a real track's colours may follow its artwork.
        ArtworkColorSync& artworkSync = *new ArtworkColorSync(
            m_settings, [&players = m_services.players()] { return makeArtworkSource(players); }, {}, this);
        connect(m_engine.get(), &LyricEngine::trackDelivered, &artworkSync, &ArtworkColorSync::trackChanged);
        connect(&m_settings, &AppSettings::artworkRefreshRequested, &artworkSync, &ArtworkColorSync::refresh);
    }
    m_rejection = std::make_unique<LyricsRejection>(
        *m_engine,
        [this](const NowPlayingTrack& track, const LyricsOrigin& origin, const TimedLyrics& wrong) -> PendingLyrics* {
            return m_services.lyrics().retry(track, origin, wrong);
        });
    connect(m_rejection.get(), &LyricsRejection::stateChanged, &m_statusMenu, &StatusMenu::setRejectionState);
    connect(m_engine.get(), &LyricEngine::trackDelivered, &m_timing, &TrackTiming::followTrack);
    connect(&m_engine->nowPlaying(), &NowPlayingMonitor::playingReported, &m_screenAwake, [this](bool playing) {
        m_screenAwake.setPlaying(playing);
        m_screenAwake.update();
    });
    return *m_engine;
}
