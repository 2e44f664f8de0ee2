#pragma once

#include <QString>

// Where every file Zuvik keeps for the user lives, decided here and nowhere else. The base folders
// follow the XDG base directory rules: an unset or relative $XDG_*_HOME means the default under the
// home folder. The names below the base folders are what stored files rely on; they never change.
namespace UserFolders {

// The settings: $XDG_CONFIG_HOME/Orvane/defaults.json.
QString settingsFile();
// The lyrics cache's base: the cache home, below which the cache keeps its own versioned folders.
QString lyricsCacheBase();
// The word-picture memo: $XDG_CACHE_HOME/Orvane/WordVisuals/v5.json. The memo holds the answers of
// the rules it was made by, so a change of the rules gets a file of its own.
QString wordVisualMemoFile();
// Per-track offsets and rejected candidates: $XDG_DATA_HOME/Zuvik/{offsets,rejected}.json.
QString offsetsFile();
QString rejectionsFile();
// The user's own .lrc files: $XDG_DATA_HOME/Zuvik/lyrics.
QString localLyricsFolder();
// The diagnostic log: $XDG_STATE_HOME/Zuvik/Zuvik.log.
QString logFile();
// The entry that starts Zuvik at login, where the XDG Autostart rules look for the user's own:
// $XDG_CONFIG_HOME/autostart/zuvik.desktop.
QString autostartEntryFile();

}  // namespace UserFolders
