#pragma once

#include "playback/PlayerQuery.h"

#include <QObject>

// The state and steps of one player query run. Lives on the query thread and is touched only
// there, which is what keeps the streak counters free of locks.
class PlayerQueryRunner : public QObject {
public:
    PlayerQueryRunner(PlayerQuery::SourceFactory makeSource, PlayerQuery::Clock clock);
    ~PlayerQueryRunner() override;

    std::optional<PlayerSample> runOnce();
    void setSeekListener(std::function<void()> onSeek);

private:
    PlayerSource* source();
    void reportFailure(const PlayerError& error);
    void noteReading(const QString& summary);

    PlayerQuery::SourceFactory m_makeSource;
    const PlayerQuery::Clock m_clock;
    std::unique_ptr<PlayerSource> m_source;
    std::function<void()> m_onSeek;
    bool m_reportedFailure = false;  // a failure has been logged since the last successful run
    qint64 m_emptyStreak = 0;  // successful runs in a row that found nothing playing
};
