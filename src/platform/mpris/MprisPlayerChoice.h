#pragma once

#include "platform/mpris/MprisPlayerState.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QStringList>

#include <optional>
#include <variant>

// The blocking D-Bus calls that find the player to follow, shared by the player query and the
// artwork source so that both follow the same player.

struct MprisChoice {
    QString busName;
    MprisPlayerState state;
};
using MprisFound = std::variant<std::optional<MprisChoice>, QDBusError>;

// Every name on the bus.
std::variant<QStringList, QDBusError> listBusNames(const QDBusConnection& bus, int timeoutMs);

// One GetAll of the player's Player interface. Nothing for a player that left the bus meanwhile;
// a reply of the wrong shape counts as a stopped player.
std::variant<std::optional<MprisPlayerState>, QDBusError> mprisPlayerStateOnBus(const QDBusConnection& bus,
                                                                                const QString& busName, int timeoutMs);

// The player that a group of bus names stands for: the first that is Playing, else the first
// Paused one, in the group's order; nothing when none is.
MprisFound chooseMprisPlayer(const QDBusConnection& bus, const QStringList& busNames, int timeoutMs);
