#include "platform/mpris/FreshPosition.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

using fresh_position::Read;

// A player seen through reads 10 ms apart: each entry is what one read returns (nothing: the call
// failed), as microseconds.
struct ReadsCase {
    const char* name;
    std::vector<std::optional<qlonglong>> reads;
    std::optional<int> expectedRead;  // index of the read given back; nothing for none
};

// `count` reads of one value, then one of `changed`.
std::vector<std::optional<qlonglong>> sameThen(int count, qlonglong changed)
{
    std::vector<std::optional<qlonglong>> reads(std::size_t(count), qlonglong(5));
    reads.emplace_back(changed);
    return reads;
}

class JustChanged : public ::testing::TestWithParam<ReadsCase> {};

TEST_P(JustChanged, GivesTheFirstReadThatMoved)
{
    const ReadsCase& c = GetParam();
    const QDateTime base = QDateTime::fromMSecsSinceEpoch(1'700'000'000'000, Qt::UTC);
    std::size_t asked = 0;
    int waited = 0;
    const auto result = fresh_position::justChanged(
        [&]() -> std::optional<Read> {
            const std::size_t index = asked++;
            if (index >= c.reads.size() || !c.reads[index])
                return std::nullopt;
            return Read{QVariant::fromValue(*c.reads[index]), base.addMSecs(qint64(index) * 10)};
        },
        [&](int milliseconds) { waited += milliseconds; });
    ASSERT_EQ(result.has_value(), c.expectedRead.has_value());
    if (result) {
        EXPECT_EQ(result->position.toLongLong(), *c.reads[std::size_t(*c.expectedRead)]);
        EXPECT_EQ(result->at, base.addMSecs(*c.expectedRead * 10 - 5)) << "between the change and the read before";
        EXPECT_EQ(asked, std::size_t(*c.expectedRead) + 1) << "reads stop at the change";
    } else {
        EXPECT_LE(asked, std::size_t(fresh_position::maxReads));
    }
    EXPECT_EQ(waited, (int(asked) - 1) * fresh_position::intervalMs);
}

INSTANTIATE_TEST_SUITE_P(
    Players, JustChanged,
    ::testing::Values(
        ReadsCase{"smooth", {1'000'000, 1'010'000, 1'020'000}, 1},
        ReadsCase{"steps_of_50_ms", {1'000'000, 1'000'000, 1'000'000, 1'050'000, 1'050'000}, 3},
        ReadsCase{"change_at_the_last_read", sameThen(fresh_position::maxReads - 1, 9), fresh_position::maxReads - 1},
        ReadsCase{"stuck", sameThen(fresh_position::maxReads, 9), std::nullopt},  // the change comes after the reads
        ReadsCase{"backwards_is_a_change_too", {2'000'000, 2'000'000, 500'000}, 2},
        ReadsCase{"first_read_fails", {std::nullopt, 1, 2}, std::nullopt},
        // A failed read in between: the one after it has nothing to be compared with.
        ReadsCase{"failed_read_in_between", {1, std::nullopt, 2, 3}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
