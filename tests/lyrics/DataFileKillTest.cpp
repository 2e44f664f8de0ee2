// The offsets and rejections files when the writing process is killed at any moment: a restart
// reads a whole file, never a part, and nothing is set aside as corrupt.
#include "lyrics/RejectedCandidates.h"
#include "lyrics/TrackOffsets.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

namespace {

NowPlayingTrack entry(int i)
{
    return NowPlayingTrack{QStringLiteral("Song %1").arg(i), QStringLiteral("Band"), 200};
}

// The entries the file holds must be 0 … n-1 for some n: each write added one to a whole file.
int wholePrefix(const std::function<bool(int)>& holds)
{
    int count = 0;
    while (holds(count))
        ++count;
    for (int i = count; i < count + 50; ++i)
        EXPECT_FALSE(holds(i)) << "entry " << i << " without entry " << count;
    return count;
}

struct KillCase {
    const char* kind;
    int killAfterMs;
};

class KilledWriter : public ::testing::TestWithParam<KillCase> {};

TEST_P(KilledWriter, LeavesAWholeFile)
{
    const QString folder = QDir::homePath() + QStringLiteral("/killed/%1-%2").arg(GetParam().kind).arg(GetParam().killAfterMs);
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/data.json");

    QProcess writer;
    writer.start(QStringLiteral(DATA_FILE_WRITER), {QString::fromUtf8(GetParam().kind), path});
    ASSERT_TRUE(writer.waitForReadyRead(10000));
    QThread::msleep(static_cast<unsigned long>(GetParam().killAfterMs));
    writer.kill();  // SIGKILL: no chance to finish the write in hand
    ASSERT_TRUE(writer.waitForFinished(10000));

    int entries = 0;
    if (QByteArray(GetParam().kind) == "offsets") {
        const TrackOffsets offsets(path);
        entries = wholePrefix([&](int i) { return offsets.offset(entry(i)) == 1.0; });
    } else {
        const RejectedCandidates rejected(path);
        entries = wholePrefix([&](int i) { return rejected.rejectedFor(entry(i)).contains(i); });
    }
    EXPECT_GE(entries, 1);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".corrupt")));
    // Only the file itself and, at most, the temporary one the killed write left behind.
    EXPECT_LE(QDir(folder).entryList(QDir::Files).size(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Moments, KilledWriter,
    ::testing::Values(KillCase{"offsets", 0}, KillCase{"offsets", 37}, KillCase{"offsets", 150},
                      KillCase{"rejected", 0}, KillCase{"rejected", 41}, KillCase{"rejected", 150}),
    [](const auto& info) { return std::string(info.param.kind) + "_" + std::to_string(info.param.killAfterMs); });

}  // namespace
