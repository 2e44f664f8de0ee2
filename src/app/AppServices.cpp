#include "app/AppServices.h"

#include "foundation/UserFolders.h"
#include "lyrics/LyricsProvider.h"
#include "platform/freedesktop/XdgAutostart.h"
#include "playback/PlayerPreferences.h"
#include "settings/AppSettings.h"
#include "visuals/KeywordLookup.h"

#include <QCoreApplication>

AppServices::AppServices() = default;

// The provider's lookups and replies go with it, while the application object still stands.
AppServices::~AppServices() = default;

AppSettings& AppServices::settings() { return AppSettings::shared(); }

PlayerRoster& AppServices::players() { return PlayerRoster::shared(); }

LyricsProvider& AppServices::lyrics()
{
    if (!m_lyrics)
        m_lyrics = std::make_unique<LyricsProvider>(LyricsProvider::Options::fromEnvironment());
    return *m_lyrics;
}

const KeywordLookup& AppServices::keywords() const { return KeywordLookup::shared(); }

WordVisualResolver::Sources AppServices::wordVisualSources() const { return WordVisualResolver::defaultSources(); }

StartAtLogin& AppServices::startAtLogin()
{
    if (!m_startAtLogin)
        m_startAtLogin = std::make_unique<XdgAutostart>(UserFolders::autostartEntryFile(),
                                                        QCoreApplication::applicationFilePath());
    return *m_startAtLogin;
}
