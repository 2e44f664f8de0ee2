#pragma once

#include "visuals/WordVisualResolver.h"

#include <memory>

class AppSettings;
class KeywordLookup;
class LyricsProvider;
class PlayerRoster;
class StartAtLogin;

// The services one run of the application shares, made here and handed to those that use them:
// the overlays, `--render-frame` and the terminal commands all start from this one object. Each is
// made on first use, so that a command that looks no lyrics up leaves the cache folder alone and
// one that reads no setting leaves the settings file alone. Made after the application object and
// used on its thread.
class AppServices {
public:
    AppServices();
    ~AppServices();
    AppServices(const AppServices&) = delete;
    AppServices& operator=(const AppServices&) = delete;

    AppSettings& settings();
    // The player preferences, read by the player query on its own thread.
    PlayerRoster& players();
    // The lyric sources with the user's cache and rejections, as the environment names them, asked
    // in the order of the lyricSources setting, which it follows.
    LyricsProvider& lyrics();
    // The word memo, symbol index and embedding the pictograms come from.
    WordVisualResolver::Sources wordVisualSources() const;
    // The keyword tables every resolver looks words up in.
    const KeywordLookup& keywords() const;
    // Whether this program starts at login, kept where the desktop looks for it.
    StartAtLogin& startAtLogin();

private:
    std::unique_ptr<LyricsProvider> m_lyrics;
    std::unique_ptr<StartAtLogin> m_startAtLogin;
};
