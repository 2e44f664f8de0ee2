#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include <optional>
#include <variant>

// What running the player script can go wrong with. Either part may be missing when the platform
// did not say; the query fills in its own defaults.
struct ScriptError {
    std::optional<int> number;
    std::optional<QString> message;

    friend bool operator==(const ScriptError&, const ScriptError&) = default;
};

// The reply record as text (possibly empty), or the error the run ended with.
using ScriptResult = std::variant<QString, ScriptError>;

// The one platform operation the player query needs: ask the local players what is playing and
// answer with a reply record (see PlayerSample::fromReply), built the way the player script
// builds it.
class PlayerScriptHost {
public:
    virtual ~PlayerScriptHost() = default;
    // Runs the script once. Blocking; called on the query thread only, one run at a time. The
    // reply's position is taken as the player's at the middle of the run.
    virtual ScriptResult run() = 0;
    // Where the host reports that the player it follows jumped to another position (a seek), so
    // that it is asked again at once instead of at the next poll. Called on the query thread, and
    // the host calls `onSeek` there too. Hosts that cannot tell ignore it.
    virtual void setSeekListener(std::function<void()> onSeek) { (void)onSeek; }

    // How the log words a failed run and a run that found nothing playing. The player script's
    // own wording, unless a host says what happened in its own terms.
    virtual QStringList failureLines(const ScriptError& error) const;
    virtual QString nothingPlayingLine() const;
};
