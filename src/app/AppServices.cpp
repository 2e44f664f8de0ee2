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

namespace {

// The sources the setting names, in its order; the setting holds only names the lyrics layer knows.
QList<LyricSource> sourcesNamed(const QStringList& names)
{
    QList<LyricSource> sources;
    for (const QString& name : names) {
        if (const std::optional<LyricSource> source = lyricSourceNamed(name))
            sources.append(*source);
    }
    return sources;
}

}  // namespace

LyricsProvider& AppServices::lyrics()
{
    if (!m_lyrics) {
        LyricsProvider::Options options = LyricsProvider::Options::fromEnvironment();
        options.sources = sourcesNamed(settings().lyricSources());
        m_lyrics = std::make_unique<LyricsProvider>(options);
        // The next lookup follows a change from the menu, or from `zuvik set` in another process.
        QObject::connect(
            &settings(), &AppSettings::lyricSourcesChanged, m_lyrics.get(),
            [provider = m_lyrics.get()](const QStringList& names) { provider->setSources(sourcesNamed(names)); });
    }
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
