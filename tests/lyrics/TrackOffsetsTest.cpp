// Per-track timing offsets in a real file in the test's private home.
#include "lyrics/TrackOffsets.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sys/stat.h>

namespace {

QString freshFile(const char* name)
{
    const QString folder = QDir::homePath() + QStringLiteral("/offsets/") + QString::fromUtf8(name);
    QDir(folder).removeRecursively();
    return folder + QStringLiteral("/offsets.json");
}

const NowPlayingTrack song{QStringLiteral("Song"), QStringLiteral("Band"), 214.6};

TEST(TrackOffsets, UserFileIsUnderXdgDataHome)
{
    EXPECT_EQ(TrackOffsets::userFile(), qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Zuvik/offsets.json"));
}

struct KeyCase {
    NowPlayingTrack other;
    bool sameKey;
};

class OffsetKey : public ::testing::TestWithParam<KeyCase> {};

TEST_P(OffsetKey, NormalisedTitleArtistAndRoundedDuration)
{
    EXPECT_EQ(TrackOffsets::keyOf(GetParam().other) == TrackOffsets::keyOf(song), GetParam().sameKey);
}

INSTANTIATE_TEST_SUITE_P(
    Tracks, OffsetKey,
    ::testing::Values(KeyCase{{QStringLiteral("Song"), QStringLiteral("Band"), 214.6}, true},
                      KeyCase{{QStringLiteral("Song (Remastered 2011)"), QStringLiteral("BAND"), 215.4}, true},
                      KeyCase{{QStringLiteral("Song"), QStringLiteral("Band"), 215.6}, false},
                      KeyCase{{QStringLiteral("Song"), QStringLiteral("Other"), 214.6}, false},
                      KeyCase{{QStringLiteral("Other"), QStringLiteral("Band"), 214.6}, false}));

struct ClampCase {
    double in;
    std::optional<double> out;
};

class OffsetClamp : public ::testing::TestWithParam<ClampCase> {};

TEST_P(OffsetClamp, StaysWithinThirtySeconds) { EXPECT_EQ(TrackOffsets::clamped(GetParam().in), GetParam().out); }

INSTANTIATE_TEST_SUITE_P(
    Limits, OffsetClamp,
    ::testing::Values(ClampCase{0.3, 0.3}, ClampCase{-30.0, -30.0}, ClampCase{30.0, 30.0}, ClampCase{30.05, 30.0},
                      ClampCase{-45.0, -30.0}, ClampCase{0.1 + 0.2, 0.3},
                      ClampCase{std::numeric_limits<double>::infinity(), 30.0},
                      ClampCase{std::numeric_limits<double>::quiet_NaN(), std::nullopt}));

TEST(TrackOffsets, NudgesAddUpAndSurviveARestart)
{
    const QString path = freshFile("restart");
    {
        TrackOffsets offsets(path);
        for (int n = 0; n < 3; ++n)
            EXPECT_TRUE(offsets.nudge(song, TrackOffsets::step).written);
        EXPECT_DOUBLE_EQ(offsets.offset(song), 0.3);
    }
    TrackOffsets again(path);
    EXPECT_DOUBLE_EQ(again.offset(song), 0.3);
    EXPECT_EQ(again.offset(NowPlayingTrack{QStringLiteral("Other"), QStringLiteral("Band"), 214.6}), 0.0);
}

TEST(TrackOffsets, ResetRemovesTheEntry)
{
    const QString path = freshFile("reset");
    TrackOffsets offsets(path);
    offsets.setOffset(song, -1.5);
    offsets.setOffset(song, 0);
    EXPECT_EQ(offsets.offset(song), 0.0);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("song"));
}

TEST(TrackOffsets, NudgePastTheLimitStopsAtIt)
{
    TrackOffsets offsets(freshFile("limit"));
    offsets.setOffset(song, 29.95);
    offsets.nudge(song, TrackOffsets::step);
    EXPECT_DOUBLE_EQ(offsets.offset(song), 30.0);
    offsets.nudge(song, TrackOffsets::step);
    EXPECT_DOUBLE_EQ(offsets.offset(song), 30.0);
}

struct CorruptCase {
    const char* name;
    QByteArray bytes;
};

class CorruptFile : public ::testing::TestWithParam<CorruptCase> {};

TEST_P(CorruptFile, IsKeptAsideBesideAnOlderOneAndOffsetsStartEmpty)
{
    const QString path = freshFile(GetParam().name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    for (const QString& name : {path + QStringLiteral(".corrupt"), path}) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(name == path ? GetParam().bytes : "older");
    }
    TrackOffsets offsets(path);
    EXPECT_EQ(offsets.offset(song), 0.0);
    EXPECT_FALSE(QFile::exists(path));
    for (const auto& [name, bytes] : {std::pair(QStringLiteral(".corrupt"), QByteArray("older")),
                                      std::pair(QStringLiteral(".corrupt.2"), GetParam().bytes)}) {
        QFile aside(path + name);
        ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
        EXPECT_EQ(aside.readAll(), bytes);
    }
    // And the next change writes a good file again.
    offsets.setOffset(song, 1.0);
    EXPECT_DOUBLE_EQ(TrackOffsets(path).offset(song), 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CorruptFile,
    ::testing::Values(CorruptCase{"truncated", QByteArray(R"({"version": 1, "offsets": {"a)")},
                      CorruptCase{"not_json", QByteArray("\x00\x01garbage", 9)},
                      CorruptCase{"array", QByteArray("[1, 2]")},
                      CorruptCase{"wrong_version", QByteArray(R"({"version": 7, "offsets": {}})")},
                      CorruptCase{"offsets_not_object", QByteArray(R"({"version": 1, "offsets": 3})")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TrackOffsets, OddEntriesAreSkippedAndOutOfRangeClamped)
{
    const QString path = freshFile("odd");
    QDir().mkpath(QFileInfo(path).absolutePath());
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const QString key = TrackOffsets::keyOf(song);
        file.write(QStringLiteral(R"({"version": 1, "offsets": {"x": "text", "%1": 99}})").arg(key).toUtf8());
    }
    TrackOffsets offsets(path);
    EXPECT_DOUBLE_EQ(offsets.offset(song), 30.0);
    EXPECT_TRUE(QFile::exists(path));  // readable as a whole: not set aside
}

TEST(TrackOffsets, AFifoIsNeitherWaitedOnNorWrittenOver)
{
    const QString path = freshFile("fifo");
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    TrackOffsets offsets(path);
    const WriteResult stored = offsets.setOffset(song, 0.7);
    EXPECT_FALSE(stored.written);
    EXPECT_EQ(stored.error, QStringLiteral("cannot read %1: not a regular file — not written over").arg(path));
    EXPECT_DOUBLE_EQ(offsets.offset(song), 0.7);  // as the user asked, until Zuvik quits
    struct stat info {};
    EXPECT_TRUE(::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode));
}

TEST(TrackOffsets, MissingFileIsNoOffsetAndNotCreatedByReading)
{
    const QString path = freshFile("missing");
    TrackOffsets offsets(path);
    EXPECT_EQ(offsets.offset(song), 0.0);
    EXPECT_FALSE(QFile::exists(path));
}

}  // namespace
