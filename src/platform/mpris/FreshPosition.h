#pragma once

#include <QDateTime>
#include <QVariant>

#include <functional>
#include <optional>

// A player without an audio clock of its own (mpv with no audio device, for one) moves its MPRIS
// Position in steps some 50 ms apart, so a single read may be a step old, and an anchor taken from
// it stays that much behind for as long as it is kept. Read a few times in a row, the first value
// that has just changed took effect within the last interval. A player whose position moves
// smoothly changes at the second read, so it costs one call more.
namespace fresh_position {

struct Read {
    QVariant position;  // as the player sent it
    QDateTime at;  // the middle of the call
};

inline constexpr int maxReads = 16;
inline constexpr int intervalMs = 10;

// `read` asks the player once (nothing: the call failed); `wait` sleeps for the given milliseconds.
// The first read whose value differs from the one before it, dated to the middle between the two
// (so at most half an interval off); nothing when no change was seen (a paused or stuck player,
// or steps longer than the reads span) or a read failed, as the reads then tell nothing of how old
// a value is.
std::optional<Read> justChanged(const std::function<std::optional<Read>()>& read, const std::function<void(int)>& wait,
                                int reads = maxReads, int interval = intervalMs);

}  // namespace fresh_position
