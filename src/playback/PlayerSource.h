#pragma once

#include "playback/PlayerSample.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <variant>

// What asking the players can go wrong with. Either part may be missing when the platform did not
// say; the query fills in its own defaults.
struct PlayerError {
    std::optional<int> number;
    std::optional<QString> message;

    friend bool operator==(const PlayerError&, const PlayerError&) = default;
};

// What one ask found. No player playing or paused: an empty summary and no sample. A player whose
// answer lacks a readable length or position: its summary and no sample.
struct PlayerReading {
    QString summary;  // the answer in one line, as the log shows it
    std::optional<PlayerSample> sample;  // sampledAt is left to the query
};

using PlayerResult = std::variant<PlayerReading, PlayerError>;

// The one platform operation the player query needs: ask the local players what is playing.
class PlayerSource {
public:
    virtual ~PlayerSource() = default;
    // Asks once. Blocking; called on the query thread only, one ask at a time. The sample's
    // position is taken as the player's at the middle of the ask.
    virtual PlayerResult read() = 0;
    // Where the source reports that the player it follows jumped to another position (a seek), so
    // that it is asked again at once instead of at the next poll. Called on the query thread, and
    // the source calls `onSeek` there too. Sources that cannot tell ignore it.
    virtual void setSeekListener(std::function<void()> onSeek) { (void)onSeek; }

    // How the log words a failed ask and one that found nothing playing. The player script's
    // own wording, unless a source says what happened in its own terms.
    virtual QStringList failureLines(const PlayerError& error) const;
    virtual QString nothingPlayingLine() const;
};
