#pragma once

#include "playback/PlayerSample.h"
#include "playback/PlayerSource.h"

#include <QDateTime>
#include <QThread>

#include <functional>
#include <memory>
#include <optional>

class PlayerQueryRunner;

// Asks the local players what is playing, one run at a time on its own thread
// ("app.orvane.applescript"), and reports each run's result as a PlayerSample or nothing.
// Failures and empty replies are logged once per streak.
class PlayerQuery {
public:
    // Makes the player source; called once, on the query thread, at the first run. Nothing means
    // the source cannot be had, and every run then yields nothing.
    using SourceFactory = std::function<std::unique_ptr<PlayerSource>()>;
    // Called exactly once per run, on the query thread.
    using Completion = std::function<void(std::optional<PlayerSample>)>;
    using Clock = std::function<QDateTime()>;

    explicit PlayerQuery(SourceFactory makeSource, Clock clock = &QDateTime::currentDateTimeUtc);
    // Lets the runs already requested finish (their completions are called), then stops the thread.
    ~PlayerQuery();
    PlayerQuery(const PlayerQuery&) = delete;
    PlayerQuery& operator=(const PlayerQuery&) = delete;

    // Queues one run behind those already requested and returns at once; callable from any thread.
    void run(Completion completion);
    // Called on the query thread each time the followed player seeks; callable from any thread.
    void setSeekListener(std::function<void()> onSeek);

private:
    QThread m_thread;
    PlayerQueryRunner* m_runner;  // lives on m_thread, which deletes it when it finishes
};
