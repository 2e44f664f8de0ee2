#include "overlay/WordHash.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct HashCase {
    const char* name;
    double start;
    std::uint64_t salt;
    double expected;
};

class WordHashValue : public ::testing::TestWithParam<HashCase> {};

// Worked through by hand (a separate big-integer calculation, not this code), for example:
//   start 1.0, tilt salt: bits 0x3FF0000000000000; × 0x9E3779B97F4A7C15 mod 2^64 = 0x7EB0000000000000;
//   + salt = 0xBA19F3FBCA42480F; xor >> 31 = 0xBA19F3FABE71AFF8; × 0x94D049BB133111EB =
//   0xBFE0C3CC758400A8; xor >> 29 = 0xBFE0C3C98A821ECB; mod 10000 = 8907.
//   start 0.0, chip salt: bits 0, so z starts at the salt 0xB23DDBF35EC6D82D; xor >> 31 =
//   0xB23DDBF23ABD6FCB; × = 0xEC4ED719F72D1A59; xor >> 29 = 0xEC4ED71E955BA296; mod 10000 = 5366.
TEST_P(WordHashValue, MatchesHandComputation)
{
    EXPECT_DOUBLE_EQ(wordHash(GetParam().start, GetParam().salt), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Known, WordHashValue,
    ::testing::Values(HashCase{"zero_chip", 0.0, word_salt::chip, 0.5366},
                      HashCase{"zero_tilt", 0.0, word_salt::tilt, 0.7286},
                      HashCase{"zero_offset", 0.0, word_salt::offset, 0.3894},
                      HashCase{"zero_icon_side", 0.0, word_salt::iconSide, 0.0461},
                      HashCase{"one_chip", 1.0, word_salt::chip, 0.9827},
                      HashCase{"one_tilt", 1.0, word_salt::tilt, 0.8907},
                      HashCase{"one_offset", 1.0, word_salt::offset, 0.5409},
                      HashCase{"one_icon_side", 1.0, word_salt::iconSide, 0.3132},
                      HashCase{"fraction_tilt", 12.34, word_salt::tilt, 0.0648},
                      HashCase{"fraction_offset", 12.34, word_salt::offset, 0.9911},
                      // starts found by search whose hashes sit on the chip and icon-side boundaries
                      HashCase{"icon_side_just_below_half", 106.98, word_salt::iconSide, 0.4999},
                      HashCase{"icon_side_at_half", 47.78, word_salt::iconSide, 0.5},
                      HashCase{"chip_just_below_a_fifth", 25.94, word_salt::chip, 0.1999},
                      HashCase{"chip_at_a_fifth", 96.51, word_salt::chip, 0.2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WordHash, IsAFractionWithFourDecimals)
{
    for (int i = 0; i < 5000; ++i) {
        const double start = i * 0.037 - 3.0;
        for (std::uint64_t salt : {word_salt::chip, word_salt::tilt, word_salt::offset, word_salt::iconSide}) {
            const double hash = wordHash(start, salt);
            ASSERT_GE(hash, 0.0);
            ASSERT_LT(hash, 1.0);
            ASSERT_DOUBLE_EQ(std::round(hash * 10000.0), hash * 10000.0);
        }
    }
}

}  // namespace
