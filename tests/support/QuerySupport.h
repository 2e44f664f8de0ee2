#pragma once

#include "QtTestSupport.h"

#include "playback/NowPlayingMonitor.h"
#include "playback/PlayerQuery.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <future>
#include <memory>
#include <optional>

// One run of `query`, waited for. A run that never answers fails the calling test.
inline std::optional<PlayerSample> runQuery(PlayerQuery& query)
{
    auto answer = std::make_shared<std::promise<std::optional<PlayerSample>>>();
    std::future<std::optional<PlayerSample>> result = answer->get_future();
    query.run([answer](std::optional<PlayerSample> sample) { answer->set_value(std::move(sample)); });
    if (result.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
        ADD_FAILURE() << "the player query did not answer";
        return std::nullopt;
    }
    return result.get();
}

// An arbitrary fixed instant that the tests count from, and instants after it.
inline QDateTime t0() { return QDateTime(QDate(2024, 3, 1), QTime(12, 0), Qt::UTC); }
inline QDateTime at(double seconds) { return t0().addMSecs(qint64(seconds * 1000)); }
