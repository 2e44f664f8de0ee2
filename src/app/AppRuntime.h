#pragma once

#include "app/AppDelegate.h"
#include "app/DisplayChoice.h"
#include "app/cli/AppOptions.h"
#include "app/LyricsRejection.h"
#include "app/ScreenAwake.h"
#include "app/menu/StatusMenu.h"
#include "app/TrackTiming.h"
#include "platform/freedesktop/ScreenSaverInhibitor.h"
#include "platform/freedesktop/SessionLockState.h"
#include "platform/dbus/LyricsRequestBus.h"
#include "platform/dbus/MenuRequestBus.h"
#include "platform/dbus/TimingRequestBus.h"
#include "platform/wayland/LayerShell.h"
#include "platform/x11/X11OverlaySpace.h"

#include <QObject>
#include <QThreadPool>

#include <memory>

class AppServices;
class AppSettings;
class EngineFrameFeed;
class LyricEngine;
class PlayerQuery;
class WordVisualResolver;

// The running application: the status menu, the overlays and what feeds them, the lock state and
// the screen-awake assertion, put together once over the shared services. The engine (and with
// it the player polling) starts when the first overlay needs it.
class AppRuntime : public QObject {
    Q_OBJECT
public:
    AppRuntime(const AppOptions& options, OverlayKind overlays, AppServices& services, QObject* parent = nullptr);
    ~AppRuntime() override;

    void start();

private:
    DisplayOverlayMaker overlayMaker(OverlayKind overlays);
    FrameFeed& feed();
    LyricEngine& startEngine();
    void rejectLyrics(const LyricsRequestService::Answer& answer);

    const AppOptions m_options;
    AppServices& m_services;
    AppSettings& m_settings;
    ScreenSaverInhibitor m_inhibitor;
    ScreenAwake m_screenAwake;
    SessionLockState m_lockState;
    X11OverlaySpace m_space;
    std::unique_ptr<LayerShell> m_layerShell;  // with layer-shell overlays
    QThreadPool m_lyricFiles;  // reads the user's lyric files off the GUI thread
    std::unique_ptr<PlayerQuery> m_query;
    std::unique_ptr<LyricEngine> m_engine;
    std::unique_ptr<LyricsRejection> m_rejection;
    std::unique_ptr<WordVisualResolver> m_wordVisuals;
    std::unique_ptr<EngineFrameFeed> m_feed;
    AppDelegate m_delegate;
    StatusMenu m_statusMenu;
    MenuRequestService m_menuRequests;
    TrackOffsets m_offsets;
    TrackTiming m_timing;
    TimingRequestService m_timingRequests;
    LyricsRequestService m_lyricsRequests;
};
