// What a lyric text may put into one document: a real song whole, a hostile text cut short.
#include "lyrics/DocumentBudget.h"
#include "lyrics/LineLevelParser.h"
#include "lyrics/LocalLyricsParser.h"
#include "lyrics/WordLevelParser.h"

#include "LogLines.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

using Parser = QList<TimedWord> (*)(QStringView);

// `lines` lines of `words` words each, in the parser's own format.
QString lineLevelText(int lines, int words)
{
    QString text;
    for (int line = 0; line < lines; ++line) {
        text += QStringLiteral("[%1:%2.00]").arg(line / 60, 2, 10, QLatin1Char('0')).arg(line % 60, 2, 10, QLatin1Char('0'));
        for (int word = 0; word < words; ++word)
            text += QStringLiteral("la ");
        text += u'\n';
    }
    return text;
}

QString wordLevelText(int lines, int words)
{
    QString text;
    for (int line = 0; line < lines; ++line) {
        text += QStringLiteral("[%1,1000]").arg(line * 1000);
        for (int word = 0; word < words; ++word)
            text += QStringLiteral("(%1,10,0)la ").arg(line * 1000 + word);
        text += u'\n';
    }
    return text;
}

QString enhancedText(int lines, int words)
{
    QString text;
    for (int line = 0; line < lines; ++line) {
        text += QStringLiteral("[%1:%2.00]").arg(line / 60, 2, 10, QLatin1Char('0')).arg(line % 60, 2, 10, QLatin1Char('0'));
        for (int word = 0; word < words; ++word)
            text += QStringLiteral("<%1:%2.%3>la ")
                        .arg(line / 60, 2, 10, QLatin1Char('0'))
                        .arg(line % 60, 2, 10, QLatin1Char('0'))
                        .arg(word % 100, 2, 10, QLatin1Char('0'));
        text += u'\n';
    }
    return text;
}

struct BudgetCase {
    const char* name;
    Parser parse;
    QString (*text)(int lines, int words);
    int lines;
    int wordsPerLine;
    qsizetype keptLines;
    qsizetype keptWords;
};

class Budget : public ::testing::TestWithParam<BudgetCase> {};

TEST_P(Budget, KeepsARealSongWholeAndCutsTheRest)
{
    const BudgetCase& c = GetParam();
    LogLines log;
    const QList<TimedWord> words = c.parse(c.text(c.lines, c.wordsPerLine));
    QSet<std::int64_t> lines;
    for (const TimedWord& word : words)
        lines.insert(word.line);
    EXPECT_EQ(lines.size(), c.keptLines);
    EXPECT_EQ(words.size(), c.keptWords);
    const bool cut = c.keptWords < qsizetype(c.lines) * c.wordsPerLine;
    const QStringList messages = log.newMessages();
    ASSERT_EQ(messages.size(), cut ? 1 : 0) << messages.join(u'\n').toStdString();
    if (cut)
        EXPECT_EQ(messages[0],
                  QStringLiteral("lyrics: the text holds more than a song — kept %1 words, left out the rest").arg(c.keptWords));
}

QList<TimedWord> localLyrics(QStringView text)
{
    const std::optional<TimedLyrics> lyrics = parseLocalLyrics(text);
    return lyrics ? lyrics->words() : QList<TimedWord>();
}

constexpr qsizetype perLine = DocumentBudget::maxWordsPerLine;
constexpr qsizetype allLines = DocumentBudget::maxLines;
constexpr qsizetype allWords = DocumentBudget::maxWords;

INSTANTIATE_TEST_SUITE_P(
    Texts, Budget,
    ::testing::Values(
        BudgetCase{"LineLevelSongIsWhole", parseLineLevel, lineLevelText, 150, 10, 150, 1500},
        BudgetCase{"LineLevelLongLineIsCut", parseLineLevel, lineLevelText, 1, 20000, 1, perLine},
        BudgetCase{"LineLevelLinesAtTheLimitAreWhole", parseLineLevel, lineLevelText, int(allLines), 2, allLines, 2 * allLines},
        BudgetCase{"LineLevelLinePastTheLimitIsCut", parseLineLevel, lineLevelText, int(allLines) + 1, 2, allLines, 2 * allLines},
        BudgetCase{"LineLevelWordsPastTheLimitAreCut", parseLineLevel, lineLevelText, 600, 10, allWords / 10, allWords},
        BudgetCase{"WordLevelSongIsWhole", parseWordLevel, wordLevelText, 150, 10, 150, 1500},
        BudgetCase{"WordLevelLongLineIsCut", parseWordLevel, wordLevelText, 1, 20000, 1, perLine},
        BudgetCase{"WordLevelLinePastTheLimitIsCut", parseWordLevel, wordLevelText, int(allLines) + 1, 2, allLines, 2 * allLines},
        BudgetCase{"WordLevelWordsPastTheLimitAreCut", parseWordLevel, wordLevelText, 600, 10, allWords / 10, allWords},
        BudgetCase{"EnhancedLrcLongLineIsCut", localLyrics, enhancedText, 1, 20000, 1, perLine},
        BudgetCase{"EnhancedLrcWordsPastTheLimitAreCut", localLyrics, enhancedText, 600, 10, allWords / 10, allWords}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
