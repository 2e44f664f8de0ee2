#include "TerminalRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// `zuvik visual` as a user runs it, with the word memo in a private cache folder.
class VisualCommand : public ::testing::Test {
protected:
    terminal_run::Outcome run(const QStringList& words)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.path());
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        return terminal_run::runZuvik(QStringList{QStringLiteral("visual")} + words, environment);
    }

    void plantMemo(const QByteArray& json)
    {
        const QString folder = m_home.filePath(QStringLiteral("Orvane/WordVisuals"));
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile file(folder + QStringLiteral("/v3.json"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(json);
    }

    QTemporaryDir m_home;
};

}  // namespace

TEST_F(VisualCommand, OneLinePerWordInOrder)
{
    const auto outcome = run({QStringLiteral("love"), QStringLiteral("the"), QStringLiteral("automobile")});
    ASSERT_EQ(outcome.status, 0) << qPrintable(outcome.err);
    const QStringList lines = outcome.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << qPrintable(outcome.out);
    EXPECT_EQ(lines[0], QStringLiteral("love → symbol heart.fill (table: love)"));
    EXPECT_EQ(lines[1], QStringLiteral("the → none (stop word)"));
    EXPECT_EQ(lines[2], QStringLiteral("automobile → symbol car.fill (nearest neighbour: car, distance 0.27)"));
    EXPECT_FALSE(QFile::exists(m_home.filePath(QStringLiteral("Orvane/WordVisuals/v3.json"))))
        << "explaining a word is not resolving it for the overlay";
}

TEST_F(VisualCommand, TheMemoTheOverlayDrawsFromWins)
{
    plantMemo(R"({"love": "e:🌧", "rain": "s:cloud.rain.fill"})");
    const auto outcome = run({QStringLiteral("love")});
    ASSERT_EQ(outcome.status, 0) << qPrintable(outcome.err);
    EXPECT_EQ(outcome.out.trimmed(),
              QStringLiteral("love → emoji 🌧 (memo; afresh it would be symbol heart.fill by table: love)"));
}

TEST_F(VisualCommand, AFifoAsTheMemoIsPassedOverAtOnce)
{
    ASSERT_TRUE(QDir().mkpath(m_home.filePath(QStringLiteral("Orvane/WordVisuals"))));
    ASSERT_EQ(::mkfifo(QFile::encodeName(m_home.filePath(QStringLiteral("Orvane/WordVisuals/v3.json"))).constData(), 0644), 0);
    const auto outcome = run({QStringLiteral("love")});
    ASSERT_EQ(outcome.status, 0) << qPrintable(outcome.err);
    EXPECT_EQ(outcome.out.trimmed(), QStringLiteral("love → symbol heart.fill (table: love)"));
}

TEST_F(VisualCommand, NoWordIsAUsageError)
{
    const auto outcome = run({});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_TRUE(outcome.err.contains(QStringLiteral("zuvik visual"))) << qPrintable(outcome.err);
}
