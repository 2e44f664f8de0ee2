// Whole texts in the shapes the lyrics service delivers, run through the same steps a lookup takes.
#include "lyrics/LineLevelParser.h"
#include "lyrics/LyricFilters.h"
#include "lyrics/WordLevelParser.h"

#include "LyricsTestSupport.h"

namespace {

QList<std::int64_t> linesOf(const QList<TimedWord>& words)
{
    QList<std::int64_t> lines;
    for (const TimedWord& w : words)
        lines.append(w.line);
    return lines;
}

TEST(RealWordLevelText, ReadsEveryLineSkippingMetadataAndCredits)
{
    const QList<TimedWord> words = parseWordLevel(testData("word_level_song.yrc"));
    EXPECT_EQ(textsOf(words), (QStringList{"Lan", "terns", "on", "the", "water", "Count", "ing", "the", "lights,", "I",
                                           "kept", "your", "name...", "Oh", "stay", "Un", "til", "the", "morn", "ing",
                                           "comes"}));
    // The credit line between "name..." and "Oh" takes no number.
    EXPECT_EQ(linesOf(words), (QList<std::int64_t>{0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 4, 4, 4, 4, 4, 5}));
    EXPECT_DOUBLE_EQ(words[8].end, 18.55);  // "lights" took the end of its comma
    EXPECT_DOUBLE_EQ(words[12].end, 22.7);
    const TimedLyrics lyrics(LyricTier::wordLevel, words);
    EXPECT_EQ(lyrics.groups().size(), 6);
    EXPECT_EQ(lyrics.activeGroup(16.0)->startedWords, 2);
}

TEST(RealLineLevelText, DropsTagsCreditsAndTranslations)
{
    const QList<TimedWord> parsed = parseLineLevel(testData("line_level_bilingual.lrc"));
    const QList<TimedWord> words = dropTranslationLines(parsed, u"Lanterns", u"Mara Lind");
    EXPECT_EQ(textsOf(words), (QStringList{"Lanterns", "on", "the", "water", "Counting", "the", "lights,", "I", "kept",
                                           "your", "name...", "Until", "the", "morning", "comes", "Until", "the",
                                           "morning", "comes", "End"}));
    // Each English line is followed by its translation at the same time, so the English line is
    // squeezed to the minimum span.
    EXPECT_DOUBLE_EQ(words[0].start, 12.0);
    EXPECT_NEAR(words[3].end, 12.2, 1e-9);
    EXPECT_DOUBLE_EQ(words.last().start, 75.0);
    EXPECT_NEAR(words.last().end, 75.0 + 0.18 * 3 + 1.2, 1e-9);
}

TEST(RealLineLevelText, CrLfWithByteOrderMarkGivesTheSameWords)
{
    EXPECT_EQ(parseLineLevel(testData("line_level_crlf.lrc")), parseLineLevel(testData("line_level_bilingual.lrc")));
}

}  // namespace
