#pragma once

#include "playback/ArtworkSource.h"
#include "playback/PlayerPreferences.h"
#include "playback/PlayerSource.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>
#include <memory>

// A way of asking the local players, as compiled into this build.
struct PlayerBackend {
    QString name;  // "mpris", "osascript"
    // Both ask the players in the order of the roster's preferences; the player source reports the players it sees there.
    std::function<std::unique_ptr<PlayerSource>(PlayerRoster&)> create;
    // Where the same players' artwork is found.
    std::function<std::unique_ptr<ArtworkSource>(PlayerRoster&)> createArtworkSource;
};

// The backends of this build, the platform's natural one first. Defined by the one
// CompiledBackends*.cpp that the build adds for the platform.
QList<PlayerBackend> compiledPlayerBackends();

// Picks a backend by name: the requested one when it is compiled in, else "osascript" on macOS,
// else the first compiled one.
QString choosePlayerBackend(const QStringList& compiled, QStringView requested, QStringView productType);

// Makes the player source for this machine and logs which one it chose. The environment
// variable ZUVIK_PLAYER_BACKEND may name another compiled backend. Nothing when the chosen source
// cannot be had.
std::unique_ptr<PlayerSource> makePlayerSource(PlayerRoster& roster);

// The artwork source of the backend that makePlayerSource() chooses, so that the artwork
// comes from the player whose track is shown. Chooses silently (the player query logs the
// choice); nothing when the source cannot be had.
std::unique_ptr<ArtworkSource> makeArtworkSource(PlayerRoster& roster);
