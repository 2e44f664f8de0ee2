// `zuvik visual` as a user runs it, with the word memo in a private cache folder.
#include "../TerminalRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class VisualCommand : public ::testing::Test {
protected:
    terminal_run::Outcome run(const QStringList& words)
    {
        QProcessEnvironment environment = terminal_run::withoutDisplay(QProcessEnvironment::systemEnvironment());
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.path());
        return terminal_run::runZuvik(QStringList{QStringLiteral("visual")} + words, environment);
    }

    QTemporaryDir home;
    const QString memo = home.filePath(QStringLiteral("Orvane/WordVisuals/v3.json"));
};

TEST_F(VisualCommand, OneLinePerWordInOrderAndNoMemoWritten)
{
    const auto outcome = run({QStringLiteral("love"), QStringLiteral("the"), QStringLiteral("automobile")});
    ASSERT_EQ(outcome.status, 0) << qPrintable(outcome.err);
    EXPECT_EQ(outcome.out, QStringLiteral("love → symbol heart.fill (table: love)\nthe → none (stop word)\n"
                                          "automobile → symbol car.fill (nearest neighbour: car, distance 0.27)\n"));
    EXPECT_FALSE(QFile::exists(memo)) << "explaining a word is not resolving it for the overlay";
    const auto none = run({});
    EXPECT_EQ(none.status, 2);
    EXPECT_TRUE(none.err.contains(QStringLiteral("zuvik visual"))) << qPrintable(none.err);
}

TEST_F(VisualCommand, TheMemoTheOverlayDrawsFromWinsAndAFifoIsPassedOver)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(memo).path()));
    QFile file(memo);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(R"({"love": "e:🌧", "rain": "s:cloud.rain.fill"})") > 0);
    file.close();
    EXPECT_EQ(run({QStringLiteral("love")}).out.trimmed(),
              QStringLiteral("love → emoji 🌧 (memo; afresh it would be symbol heart.fill by table: love)"));
    ASSERT_TRUE(QFile::remove(memo) && ::mkfifo(QFile::encodeName(memo).constData(), 0644) == 0);
    const auto outcome = run({QStringLiteral("love")});
    ASSERT_EQ(outcome.status, 0) << qPrintable(outcome.err);
    EXPECT_EQ(outcome.out.trimmed(), QStringLiteral("love → symbol heart.fill (table: love)"));
}

}  // namespace
