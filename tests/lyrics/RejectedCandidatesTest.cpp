// The user's rejected candidates in a real file in the test's private home.
#include "lyrics/RejectedCandidates.h"

#include "lyrics/TrackKey.h"

#include "LogLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <limits>

namespace {

QString freshFile(const char* name)
{
    const QString folder = QDir::homePath() + QStringLiteral("/rejected/") + QString::fromUtf8(name);
    QDir(folder).removeRecursively();
    return folder + QStringLiteral("/rejected.json");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

const NowPlayingTrack song{QStringLiteral("Song (Remastered 2011)"), QStringLiteral("Band"), 214.6};
const NowPlayingTrack sameSongOtherDay{QStringLiteral("Song"), QStringLiteral("band"), 214.9};
const NowPlayingTrack otherSong{QStringLiteral("Other"), QStringLiteral("Band"), 214.6};

TEST(RejectedCandidates, UserFileIsUnderXdgDataHome)
{
    qputenv("XDG_DATA_HOME", QDir::homePath().toUtf8() + "/xdg-data");
    const QString file = RejectedCandidates::userFile();
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(file, QDir::homePath() + QStringLiteral("/xdg-data/Zuvik/rejected.json"));
}

TEST(RejectedCandidates, SurviveARestartPerTrackWithEveryDigitOfTheirIds)
{
    const QString path = freshFile("restart");
    constexpr std::int64_t beyondDoubles = (std::int64_t{1} << 53) + 1;  // a JSON number would lose it
    {
        RejectedCandidates rejected(path);
        EXPECT_TRUE(rejected.reject(song, 5002));
        EXPECT_TRUE(rejected.reject(song, beyondDoubles));
        EXPECT_FALSE(rejected.reject(sameSongOtherDay, 5002));  // the same track, already rejected
        EXPECT_TRUE(rejected.reject(otherSong, std::numeric_limits<std::int64_t>::max()));
    }
    const RejectedCandidates restarted(path);
    EXPECT_EQ(restarted.rejectedFor(sameSongOtherDay), (QSet<std::int64_t>{5002, beyondDoubles}));
    EXPECT_EQ(restarted.rejectedFor(otherSong), QSet<std::int64_t>{std::numeric_limits<std::int64_t>::max()});
    EXPECT_TRUE(restarted.rejectedFor(NowPlayingTrack{QStringLiteral("Song"), QStringLiteral("Band"), 230}).isEmpty());
}

TEST(RejectedCandidates, WithoutAFileTheyLastForTheRunOnly)
{
    RejectedCandidates rejected;
    EXPECT_TRUE(rejected.reject(song, 7));
    EXPECT_EQ(rejected.rejectedFor(song), QSet<std::int64_t>{7});
    EXPECT_TRUE(RejectedCandidates().rejectedFor(song).isEmpty());
}

struct CorruptCase {
    const char* name;
    QByteArray bytes;
};

class CorruptRejections : public ::testing::TestWithParam<CorruptCase> {};

TEST_P(CorruptRejections, AreKeptAsideAndStartEmpty)
{
    const QString path = freshFile(GetParam().name);
    writeFile(path, GetParam().bytes);
    const LogLines log;
    RejectedCandidates rejected(path);
    EXPECT_TRUE(rejected.rejectedFor(song).isEmpty());
    EXPECT_EQ(log.newMessages(),
              QStringList{QStringLiteral("lyrics: rejections file unreadable — kept aside as ") + path + ".corrupt"});
    QFile aside(path + QStringLiteral(".corrupt"));
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), GetParam().bytes);
    rejected.reject(song, 1);
    EXPECT_EQ(RejectedCandidates(path).rejectedFor(song), QSet<std::int64_t>{1});
}

INSTANTIATE_TEST_SUITE_P(
    Files, CorruptRejections,
    ::testing::Values(CorruptCase{"truncated", QByteArray(R"({"version": 1, "rejected": {"a)")},
                      CorruptCase{"not_json", QByteArray("\x00\x01garbage", 9)},
                      CorruptCase{"wrong_version", QByteArray(R"({"version": 2, "rejected": {}})")},
                      CorruptCase{"rejected_not_object", QByteArray(R"({"version": 1, "rejected": []})")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RejectedCandidates, OddIdsAreSkippedAndTheRestKept)
{
    const QString path = freshFile("odd");
    const QString key = trackKey(song);
    QJsonObject tracks{{key, QJsonArray{"12", "x", 5, "", "13", "99999999999999999999"}}, {"other", "not a list"}};
    writeFile(path, QJsonDocument(QJsonObject{{"version", 1}, {"rejected", tracks}}).toJson());
    const RejectedCandidates rejected(path);
    EXPECT_EQ(rejected.rejectedFor(song), (QSet<std::int64_t>{12, 13}));
    EXPECT_TRUE(QFile::exists(path));
}

}  // namespace
