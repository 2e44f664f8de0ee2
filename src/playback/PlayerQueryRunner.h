#pragma once

#include "playback/PlayerQuery.h"

#include <QObject>

// The state and steps of one player query run. Lives on the query thread and is touched only
// there, which is what keeps the streak counters free of locks.
class PlayerQueryRunner : public QObject {
public:
    PlayerQueryRunner(PlayerQuery::HostFactory makeHost, PlayerQuery::Clock clock);
    ~PlayerQueryRunner() override;

    std::optional<PlayerSample> runOnce();
    void setSeekListener(std::function<void()> onSeek);

private:
    PlayerScriptHost* host();
    void reportFailure(const ScriptError& error);
    void noteReply(const QString& reply);

    PlayerQuery::HostFactory m_makeHost;
    const PlayerQuery::Clock m_clock;
    std::unique_ptr<PlayerScriptHost> m_host;
    std::function<void()> m_onSeek;
    bool m_reportedFailure = false;  // a failure has been logged since the last successful run
    qint64 m_emptyStreak = 0;        // successful runs in a row whose reply was empty
};
