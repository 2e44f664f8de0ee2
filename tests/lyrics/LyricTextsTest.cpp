// The pure readers of lyric texts and the stored document form.
#include "lyrics/LineLevelParser.h"
#include "lyrics/LocalLyricsParser.h"
#include "lyrics/LyricFilters.h"
#include "lyrics/TimedLyricsJson.h"
#include "lyrics/WordLevelParser.h"

#include "AllocationCounter.h"
#include "LyricsTestSupport.h"

namespace {

// The three readers: the service's word-level (yrc) and line-level (lrc) texts, and a local LRC file.
using Parser = QList<TimedWord> (*)(QStringView);
const Parser yrc = parseWordLevel, lrc = parseLineLevel;

QList<TimedWord> local(QStringView text) { return parseLocalLyrics(text).value_or(TimedLyrics()).words(); }

// Line 0: "one" 1.0-2.0, "two" 2.5-3.0; line 1: "three" 3.5-4.0, starting within line 0's linger.
TEST(ActiveGroup, FindsTheLineOnShowAndItsStartedWords)
{
    const TimedLyrics lyrics(LyricTier::wordLevel, {word("one", 1, 2, 0), word("two", 2.5, 3, 0), word("three", 3.5, 4, 1)});
    const struct { double t; qsizetype group, started; } cases[] = {  // group -1: nothing
        {0.999, -1, 0}, {1.0, 0, 1}, {2.2, 0, 1}, {2.5, 0, 2}, {3.5, 1, 1}, {std::nextafter(4.8, 0.0), 1, 1}, {4.8, -1, 0},
                 {std::numeric_limits<double>::quiet_NaN(), -1, 0}};
    for (const auto& c : cases) {
        const auto active = lyrics.activeGroup(c.t);
        ASSERT_EQ(active ? active->index : -1, c.group) << c.t;
        EXPECT_TRUE(!active || (active->group == &lyrics.groups()[c.group] && active->startedWords == c.started)) << c.t;
    }
}

TEST(ActiveGroupLookup, GroupsRunsOfOneLineAndAgreesWithALinearScanWithoutAllocating)
{
    const QList<TimedWord> runs = {word("a", 0, 1, 0), word("b", 1, 2, 2), word("c", 2, 3, 2), word("d", 3, 4, 0)};
    EXPECT_EQ(groupByLine(runs), (QList<WordGroup>{{runs[0]}, {runs[1], runs[2]}, {runs[3]}}));
    QList<TimedWord> words;
    for (int line = 0; line < 50; ++line)
        for (int w = 0; w < 6; ++w)
            words.append(TimedWord{QStringLiteral("w"), line * 4.0 + w * 0.5, line * 4.0 + w * 0.5 + 0.4, line});
    const TimedLyrics lyrics(LyricTier::wordLevel, words);
    const long allocationsBefore = allocationsOnThisThread();
    for (double t = -1.0; t < 205.0; t += 0.0625) {
        qsizetype expected = -1;
        for (qsizetype g = 0; g < lyrics.groups().size(); ++g)
            expected = lyrics.groups()[g].first().start <= t ? g : expected;
        if (expected >= 0 && t >= lyrics.groups()[expected].last().end + TimedLyrics::lingerAfterLine)
            expected = -1;
        const auto active = lyrics.activeGroup(t);
        ASSERT_EQ(active ? active->index : -1, expected) << "t = " << t;
    }
    EXPECT_EQ(allocationsOnThisThread() - allocationsBefore, 0);
}

TEST(TimedLyricsJson, StoresCompactlyAndReadsBackExactDoubles)
{
    EXPECT_EQ(encodeTimedLyrics(TimedLyrics(LyricTier::wordLevel, {word("a", 1, 2.5, 7)})),
              R"({"tier":"wordLevel","words":[{"end":2.5,"line":7,"start":1,"text":"a"}]})");
    const TimedLyrics original(LyricTier::interpolated, {word("Hel", 0.1, 0.30000000000000004, 0), word("世界", 1.0 / 3.0, 2.5, 3),
                                                         word("again", 2.5, 1e-7, -2)});
    const auto decoded = decodeTimedLyrics(encodeTimedLyrics(original));
    ASSERT_TRUE(std::holds_alternative<TimedLyrics>(decoded));
    EXPECT_EQ(std::get<TimedLyrics>(decoded), original);
    EXPECT_EQ(std::get<TimedLyrics>(decoded).groups(), original.groups());
}

#define DOC(words) R"({"tier":"wordLevel","words":[)" words "]}"
#define WORD_A R"({"text":"a","start":1,"end":2,"line":0})"
QByteArray manyWords(qsizetype count)
{
    return QByteArray(R"({"tier":"wordLevel","words":[)") + QByteArray(WORD_A ",").repeated(count).chopped(1) + "]}";
}

// Stored documents and their word counts; -1: rejected with a reason.
TEST(TimedLyricsJson, DecodesOnlyWellTypedDocumentsOfAtMostASongsWords)
{
    const std::pair<QByteArray, qsizetype> cases[] = {
        {R"({"tier":"wordLevel","x":1,"words":[{"text":"a","start":1,"end":2,"line":0,"c":1}]})", 1},
        {DOC(R"({"text":"a","start":1,"end":2,"line":3.0})"), 1}, {R"({"tier":"interpolated","words":[]})", 0},
        {manyWords(5000), 5000}, {manyWords(5001), -1},
        {"{\"tier\":", -1}, {"[]", -1}, {R"({"tier":"WordLevel","words":[]})", -1}, {R"({"tier":0,"words":[]})", -1},
        {R"({"words":[]})", -1}, {R"({"tier":"wordLevel"})", -1}, {R"({"tier":"wordLevel","words":{}})", -1}, {DOC(WORD_A R"(,"a")"), -1},
        {DOC(R"({"start":1,"end":2,"line":0})"), -1}, {DOC(R"({"text":1,"start":1,"end":2,"line":0})"), -1},
        {DOC(R"({"text":"a","start":"1","end":2,"line":0})"), -1}, {DOC(R"({"text":"a","start":1,"end":null,"line":0})"), -1},
        {DOC(R"({"text":"a","start":1,"end":2,"line":0.5})"), -1}, {DOC(R"({"text":"a","start":1,"end":2,"line":1e30})"), -1},
        {DOC(R"({"text":"a","start":1,"end":2})"), -1}};
    for (const auto& [json, words] : cases) {
        const auto result = decodeTimedLyrics(json);
        const auto* lyrics = std::get_if<TimedLyrics>(&result);
        EXPECT_EQ(lyrics ? lyrics->words().size() : -1, words) << json.left(90).toStdString();
        EXPECT_TRUE(lyrics || !std::get<LyricsDecodeError>(result).reason.isEmpty());
    }
}

TEST(TimeTag, ReadsMinutesSecondsAndHundredthsOrThousandths)
{
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"00:12.34", 12.34}, {"00:12.345", 12.345}, {"00:12", 12.0}, {"1:02:03.45", 62.03}, {"00:12.5", 12.05}, {"00:12.050", 12.05},
        {"03:15.xx", 195.0}, {"::01..02", 62.0}, {"+1:+2", 62.0}, {"1e1:0", 600.0}, {"2880:00", 172800.0}, {"ar:someone", {}}, {"12", {}},
        {"00: 12", {}}, {"0x1:00", {}}, {"-1:00", {}}, {"00:-5", {}}, {"2880:01", {}}, {"1e400:00", {}}, {"nan:00", {}},
        {"99999999999999999999999:00", {}}};
    for (const auto& [tag, seconds] : cases) {
        const std::optional<double> read = readTimeTag(QString::fromUtf8(tag));
        EXPECT_EQ(read.has_value(), seconds.has_value()) << tag;
        EXPECT_NEAR(read.value_or(-1), seconds.value_or(-1), 1e-9) << tag;
    }
}

// A line-level line lasts 1.2 s + 0.18 s per letter, up to the next line (5 s after the last), at least 0.2 s.
TEST(Timing, EachReaderTimesWordsAndNumbersLines)
{
    const auto w = word;
    const struct { const char* name; Parser parse; const char* text; QList<TimedWord> words; } cases[] = {
        {"YrcMetadata", yrc, "{\"c\":[]}\n[0,1](0,100,0)a\n[1,1](1000,100,0)b", {w("a", 0, 0.1, 0), w("b", 1, 1.1, 1)}},
        {"YrcUntimedLine", yrc, "[0,1](0,100,0)a\n[5,1]untimed\n[9,1](900,100,0)b", {w("a", 0, .1, 0), w("b", .9, 1, 2)}},
        {"YrcUnreadableDurationEndsTheLine", yrc, "[0,1](100,200,0)a(300,x,0)b(500,100,0)c", {w("a", 0.1, 0.3, 0)}},
        {"YrcEmptyPiecesDropped", yrc, "[0,1](,100,,+200,)a", {w("a", 0.1, 0.3, 0)}},
        {"YrcBlankWordSkipped", yrc, "[0,1](0,100,0)   (100,100,0)b", {w("b", 0.1, 0.2, 0)}},
        {"YrcSortsStably", yrc, "[0,1](500,100,0)x(500,50,0)y\n[1,1](200,100,0)z(500,10,0)w",
            {w("z", 0.2, 0.3, 1), w("x", 0.5, 0.6, 0), w("y", 0.5, 0.55, 0), w("w", 0.5, 0.51, 1)}},
        {"YrcCreditTakesNoLine", yrc, "[0,1](0,100,0)编曲：(100,100,0)x\n[1,1](200,100,0)sung", {w("sung", 0.2, 0.3, 0)}},
        {"YrcCrLf", yrc, "\xEF\xBB\xBF[0,1](0,100,0)a \r\n[1,1](100,100,0)b\r\n\r\n", {w("a", 0, .1, 0), w("b", .1, .2, 1)}},
        {"YrcPastSixtyFourBits", yrc, "[0,1](0,1,0)a(9223372036854775808,1,0)b\n[1,1](200,100,0)c", {w("a", 0, 0.001, 0), w("c", 0.2, 0.3, 1)}},
        {"LrcSharedByLetters", lrc, "[00:30.00]hi there", {w("hi", 30, 30 + 2.46 * 2 / 7, 0), w("there", 30 + 2.46 * 2 / 7, 32.46, 0)}},
        {"LrcLastLineCap", lrc, "[00:00.00]abcdefghijklmnopqrstuvwxyz", {w("abcdefghijklmnopqrstuvwxyz", 0, 5, 0)}},
        {"LrcStopsAtTheNextLine", lrc, "[00:01.00]abc\n[00:02.00]d", {w("abc", 1, 2, 0), w("d", 2, 3.38, 1)}},
        {"LrcMinimumSpan", lrc, "[00:05.00]one\n[00:05.00]two", {w("one", 5, 5.2, 0), w("two", 5, 6.74, 1)}},
        {"LrcSeveralTagsRepeatTheLine", lrc, "[00:10.00][00:40.00]chorus\n[00:20.00]verse",
            {w("chorus", 10, 12.28, 0), w("verse", 20, 22.1, 1), w("chorus", 40, 42.28, 2)}},
        {"LrcWeightsAreCharacters", lrc, "[00:00.00]e\xCC\x81t\xC3\xA9 9 \xF0\x9F\x98\x80x",
            {w("e\xCC\x81t\xC3\xA9", 0, 1.26, 0), w("9", 1.26, 1.68, 0), w("\xF0\x9F\x98\x80x", 1.68, 2.1, 0)}},
        {"LrcAbsurdTagsSkipped", lrc, "[1e300:00]junk\n[-1:05]neg\n[00:01.00]fine\n[00:02.1e999]still",
            {w("fine", 1, 2, 0), w("still", 2, 4.1, 1)}},
        {"LocalLastWordGetsTwoSeconds", local, "[00:12.00]<00:12.00>Some <00:12.40>words\n[00:15.00]<00:15.00>next",
            {w("Some", 12, 12.4, 0), w("words", 12.4, 14.4, 0), w("next", 15, 17, 1)}},
        {"LocalWordEndsAtTheNextLine", local, "[00:01.00]<00:01.00>a <00:02.00>b\n[00:03.00]<00:03.00>c",
            {w("a", 1, 2, 0), w("b", 2, 3, 0), w("c", 3, 5, 1)}},
        {"LocalLeadingText", local, "[00:05.00]Hello <00:06.00>there", {w("Hello", 5, 6, 0), w("there", 6, 8, 0)}},
        {"LocalOffsetEarlier", local, "[offset:+500]\n[00:10.00]a\n[00:20.00]b", {w("a", 9.5, 10.88, 0), w("b", 19.5, 20.88, 1)}},
        {"LocalOffsetLater", local, "[offset:-1000]\n[00:01.00]<00:01.00>a <00:01.50>b", {w("a", 2, 2.5, 0), w("b", 2.5, 4.5, 0)}},
        {"LocalOffsetNeverMakesATimeNegative", local, "[offset:5000]\n[00:01.00]a", {w("a", 0, 0, 0)}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectWords(c.parse(QString::fromUtf8(c.text)), c.words);
    }
}

// Which words survive: malformed and hostile input.
TEST(Survivors, MalformedInputLosesOnlyWhatDoesNotRead)
{
    const struct { const char* name; Parser parse; const char* text; QStringList texts; } cases[] = {
        {"YrcOnePieceEndsTheLine", yrc, "[0,1](100)a(200,100,0)b", {}}, {"YrcSpaceInANumber", yrc, "[0,1](100, 200,0)a", {}},
        {"YrcUnclosedGroup", yrc, "[0,1](0,100,0)a(200,100,0", {"a"}}, {"YrcLeadingTextIgnored", yrc, "[0,1]lead (0,100,0)a", {"a"}},
        {"YrcHeaderNotRead", yrc, "[junk](0,100,0)a\n(0,100,0)no header", {"a"}},
        {"YrcNegativeStart", yrc, "[0,1](-100,100,0)bad(100,100,0)good", {"good"}},
        {"YrcNegativeDuration", yrc, "[0,1](100,-100,0)bad(100,100,0)good", {"good"}},
        {"YrcPastFortyEightHours", yrc, "[0,1](172800000,1,0)bad(100,100,0)good", {"good"}},
        {"YrcAtFortyEightHours", yrc, "[0,1](172799999,1,0)edge", {"edge"}},
        {"YrcSumOverflows", yrc, "[0,1](9223372036854775807,9223372036854775807,0)bad(1,1,0)good", {"good"}},
        {"YrcEmpty", yrc, "\n\n", {}}, {"LrcMetadataOnly", lrc, "[ar:someone]\n[ti:song]\n[00:01.00]sung", {"sung"}},
        {"LrcTimeWithoutText", lrc, "[00:05.00]\n[00:06.00]   \n[00:07.00]x", {"x"}},
        {"LrcTextWithoutTime", lrc, "plain words\n[ar:x]tagged", {}}, {"LrcUnclosedBracketIsText", lrc, "[00:01.00][oops", {"[oops"}},
        {"LrcMetadataBetweenTimes", lrc, "[00:01.00][by:x][00:03.00]hey", {"hey", "hey"}},
        {"LrcCredits", lrc, "[00:00.00]作词 : x\n[00:01.00]Lyrics by: x\n[00:02.00]la", {"la"}},
        {"LrcTabsDoNotSplit", lrc, "[00:01.00]a\tb c", {"a\tb", "c"}},
        {"LrcPunctuationGluesAcrossLines", lrc, "[00:01.00]hey\n[00:02.00]...", {"hey..."}},
        {"LrcCrLfAndBom", lrc, "\xEF\xBB\xBF[00:01.00]one\r\n[00:02.00]two\r\n", {"one", "two"}},
        {"LocalPlainLrc", local, "[ar:A]\n[length:03:20]\n[00:10.00]one two\n[00:20.00]three", {"one", "two", "three"}},
        {"LocalUnreadableWordTagIsText", local, "[00:01.00]<00:01.00>a <b> <00:02.00>c", {"a", "<b>", "c"}},
        {"LocalWordTagCredit", local, "[00:01.00]<00:01.00>作曲: <00:01.50>x\n[00:02.00]<00:02.00>y", {"y"}},
        {"LocalNoTimes", local, "just words\n[ar:Someone]", {}},
        {"LocalOnlyAWordTag", local, "[00:01.00]<00:01.00>", {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(textsOf(c.parse(QString::fromUtf8(c.text))), c.texts);
    }
}

TEST(LrcFile, DecodesItsBytesReadsItsOffsetTagAndIsWordLevelOnlyWithWordTags)
{
    const std::pair<QByteArray, const char*> files[] = {{"[00:01.00]H\xC3\xA9", "[00:01.00]Hé"}, {"\xEF\xBB\xBF" "a", "a"},
                                                       {"a\r\nb\r\n", "a\nb\n"}, {"a\rb", "a\nb"}, {"Caf\xE9 cr\xE8me", "Café crème"}};
    for (const auto& [bytes, text] : files)
        EXPECT_EQ(decodeLyricFile(bytes), QString::fromUtf8(text)) << text;
    const std::pair<const char*, double> offsets[] = {{"[ti:y]\n[offset:+250]\n", 250}, {"[offset:-1200]", -1200}, {"[OFFSET: 40 ]", 40},
                                                      {"[offset:abc]", 0}, {"[offset:1.5]", 0}, {"[offset:172800000]", 172800000},
                                                      {"[offset:-172800001]", 0}, {"[ar:x]", 0}};
    for (const auto& [text, ms] : offsets)
        EXPECT_EQ(lrcOffsetMs(QString::fromUtf8(text)), ms) << text;
    EXPECT_EQ(parseLocalLyrics(u"[00:01.00]<00:01.00>a")->tier(), LyricTier::wordLevel);
    EXPECT_EQ(parseLocalLyrics(u"[00:01.00]a <b>")->tier(), LyricTier::interpolated);
}

// A text of `lines` lines of `words` words; kind 'l': line-level, 'w': word-level, 'e': enhanced LRC.
QString budgetText(char kind, int lines, int words)
{
    QString text;
    for (int l = 0; l < lines; ++l) {
        const QString time = QString::asprintf("%02d:%02d", l / 60, l % 60);
        text += kind == 'w' ? QStringLiteral("[%1,1000]").arg(l * 1000) : u'[' + time + QStringLiteral(".00]");
        for (int w = 0; w < words; ++w)
            text += kind == 'w'   ? QStringLiteral("(%1,10,0)la ").arg(l * 1000 + w)
                    : kind == 'e' ? QString::asprintf("<%s.%02d>la ", qPrintable(time), w % 100)
                                  : QStringLiteral("la ");
        text += u'\n';
    }
    return text;
}

// The budget, as numbers: far above a real song, far below what a hostile text could make.
constexpr int allLines = 1000;
constexpr qsizetype perLine = 100, allWords = 5000;

TEST(Budget, CutsWhatIsMoreThanASong)
{
    const struct { const char* name; Parser parse; char kind; int lines, wordsPerLine; qsizetype keptLines, keptWords; } cases[] = {
        {"LineLevelLongLine", parseLineLevel, 'l', 1, 20000, 1, perLine},
        {"LineLevelLinesAtTheLimit", parseLineLevel, 'l', allLines, 2, allLines, 2 * allLines},
        {"LineLevelLinePastTheLimit", parseLineLevel, 'l', allLines + 1, 2, allLines, 2 * allLines},
        {"LineLevelWordsPastTheLimit", parseLineLevel, 'l', 600, 10, allWords / 10, allWords},
        {"WordLevelLineAtTheLimit", parseWordLevel, 'w', 2, perLine, 2, 2 * perLine},
        {"WordLevelLongLine", parseWordLevel, 'w', 1, 20000, 1, perLine},
        {"WordLevelLinePastTheLimit", parseWordLevel, 'w', allLines + 1, 2, allLines, 2 * allLines},
        {"WordLevelWordsPastTheLimit", parseWordLevel, 'w', 600, 10, allWords / 10, allWords},
        {"EnhancedLongLine", local, 'e', 1, 20000, 1, perLine},
        {"EnhancedWordsPastTheLimit", local, 'e', 600, 10, allWords / 10, allWords}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LogLines log;
        const QList<TimedWord> words = c.parse(budgetText(c.kind, c.lines, c.wordsPerLine));
        QSet<std::int64_t> kept;
        for (const TimedWord& w : words)
            kept.insert(w.line);
        EXPECT_EQ(kept.size(), c.keptLines);
        EXPECT_EQ(words.size(), c.keptWords);
        const bool cut = c.keptWords < qsizetype(c.lines) * c.wordsPerLine;
        EXPECT_EQ(log.newMessages(), cut ? QStringList{QStringLiteral("lyrics: the text holds more than a song — kept %1 words, "
                                                                       "left out the rest").arg(c.keptWords)}
                                         : QStringList());
    }
}

TEST(CreditLine, IsAShortLabelNamingARoleBeforeTheFirstColon)
{
    const std::pair<const char*, bool> cases[] = {
        {"作词 : 某人", true}, {"作曲：某人", true}, {"Lyrics by: Someone", true}, {"  PRODUCER: Someone", true}, {"Composed by: x", true},
        {"鼓: x", true}, {"Arranged by: x", true}, {"Executive producer: x", false}, {"a co-producer: x", false},
        {"I love you", false}, {"producer without colon", false}, {"Time: now", false}, {":", false}, {"hey: producer: x", false},
        {"e\xCC\x81" "e\xCC\x81" "e\xCC\x81 producer: x", true}};  // twelve characters in fifteen UTF-16 units
    for (const auto& [text, credit] : cases)
        EXPECT_EQ(isCreditLine(QString::fromUtf8(text)), credit) << text;
}

TEST(CleanWords, GluesPunctuationAndDropsWhatIsNotAWord)
{
    const auto w = word;
    const struct { const char* name; QList<TimedWord> input, expected; } cases[] = {
        {"PunctuationTakesTheLaterEnd", {w("Hello", 0, 1, 0), w(",", 1, 1.5, 0), w("x", 2, 3, 0)}, {w("Hello,", 0, 1.5, 0), w("x", 2, 3, 0)}},
        {"KeepsTheLaterOwnEnd", {w("Hello", 0, 2, 0), w("!", 1, 1.5, 0)}, {w("Hello!", 0, 2, 0)}},
        {"GluesAcrossLines", {w("end", 0, 1, 0), w("—", 1, 2, 1), w("go", 2, 3, 1)}, {w("end—", 0, 2, 0), w("go", 2, 3, 1)}},
        {"LeadingEllipsisDropped", {w("…", 0, 1, 0), w("go", 1, 2, 0)}, {w("go", 1, 2, 0)}},
        {"FullWidthParentheses", {w("a", 0, 1, 0), w("（oh）", 1, 2, 0), w("（ ）", 2, 3, 0)}, {w("a", 0, 1, 0), w("oh", 1, 2, 0)}},
        {"WhitespaceTrimmed", {w("\t x \xE3\x80\x80", 0, 1, 0)}, {w("x", 0, 1, 0)}},
        {"EmojiGlues", {w("love", 0, 1, 0), w("😀", 1, 2, 0)}, {w("love😀", 0, 2, 0)}},
        {"MarksAndDigitsAreWords", {w("\xCC\x81", 0, 1, 0), w("99", 1, 2, 0)}, {w("\xCC\x81", 0, 1, 0), w("99", 1, 2, 0)}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectWords(cleanWords(c.input), c.expected);
    }
}

TEST(TranslationLines, AreDroppedUnderATitleWithoutIdeographsWithALogLine)
{
    const LogLines log;
    const QList<TimedWord> bilingual = {word("Hello", 0, 1, 0), word("你好黑暗", 2, 3, 1), word("my", 3, 4, 2), word("我的", 5, 6, 3),
                                        word("朋友", 6, 7, 3), word("again", 7, 8, 1)};
    EXPECT_EQ(textsOf(dropTranslationLines(bilingual, u"The Sound", u"Artist")), (QStringList{"Hello", "my"}));
    EXPECT_EQ(dropTranslationLines(bilingual, u"声音", u"Artist"), bilingual);
    EXPECT_EQ(dropTranslationLines(bilingual, u"Sound", u"歌手"), bilingual);
    const QList<TimedWord> chinese = {word("我的", 0, 1, 0), word("朋友", 1, 2, 1)};
    EXPECT_EQ(dropTranslationLines(chinese, u"Friend", u"Artist"), chinese);
    EXPECT_EQ(log.newMessages(), QStringList{QStringLiteral("lyrics: dropped 4 translation-line words")});
    // A translation line is mostly ideographs, and holds no kana (that would be Japanese, sung).
    const std::pair<const char*, bool> cases[] = {{"愛愛愛愛愛の", false}, {"爱ab", false}, {"爱爱a", true}, {"爱爱ab", false}, {"爱!!!...", true},
                                                  {"\xEF\xA4\x80\xEF\xA4\x80", true}, {"\xE3\x90\x80", true}, {"사랑해", false}};
    for (const auto& [line, dropped] : cases)
        EXPECT_EQ(dropTranslationLines({word("keep", 0, 1, 0), word(line, 1, 2, 1)}, u"Title", u"Artist").size() == 1, dropped) << line;
}

}  // namespace
