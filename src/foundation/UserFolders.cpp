#include "foundation/UserFolders.h"

#include <QDir>

namespace UserFolders {

namespace {

QString baseFolder(const char* variable, const QString& underHome)
{
    const QString fromEnvironment = qEnvironmentVariable(variable);
    // XDG base directories: a relative path is to be ignored.
    if (fromEnvironment.isEmpty() || QDir::isRelativePath(fromEnvironment))
        return QDir::homePath() + u'/' + underHome;
    return fromEnvironment;
}

QString configHome() { return baseFolder("XDG_CONFIG_HOME", QStringLiteral(".config")); }
QString dataHome() { return baseFolder("XDG_DATA_HOME", QStringLiteral(".local/share")); }
QString stateHome() { return baseFolder("XDG_STATE_HOME", QStringLiteral(".local/state")); }
QString cacheHome() { return baseFolder("XDG_CACHE_HOME", QStringLiteral(".cache")); }

}  // namespace

QString settingsFile() { return configHome() + QStringLiteral("/Orvane/defaults.json"); }
QString lyricsCacheBase() { return cacheHome(); }
QString wordVisualMemoFile() { return cacheHome() + QStringLiteral("/Orvane/WordVisuals/v5.json"); }
QString offsetsFile() { return dataHome() + QStringLiteral("/Zuvik/offsets.json"); }
QString rejectionsFile() { return dataHome() + QStringLiteral("/Zuvik/rejected.json"); }
QString localLyricsFolder() { return dataHome() + QStringLiteral("/Zuvik/lyrics"); }
QString logFile() { return stateHome() + QStringLiteral("/Zuvik/Zuvik.log"); }
QString autostartEntryFile() { return configHome() + QStringLiteral("/autostart/zuvik.desktop"); }

}  // namespace UserFolders
