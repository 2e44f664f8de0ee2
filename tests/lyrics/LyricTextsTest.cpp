// The pure readers of lyric texts and the stored document form.
#include "lyrics/LineLevelParser.h"
#include "lyrics/LocalLyricsParser.h"
#include "lyrics/LyricFilters.h"
#include "lyrics/TimedLyricsJson.h"
#include "lyrics/WordLevelParser.h"

#include "LyricsTestSupport.h"

namespace {

// The three readers: the service's word-level (yrc) and line-level (lrc) texts, and a local LRC file.
using Parser = QList<TimedWord> (*)(QStringView);
const Parser yrc = parseWordLevel, lrc = parseLineLevel;
const auto w = word;

QList<TimedWord> local(QStringView text) { return parseLocalLyrics(text).value_or(TimedLyrics()).words(); }

// Line 1 starts within line 0's linger; groups are runs of one line number. Group -1: none.
TEST(ActiveGroup, FindsTheLineOnShowAndItsStartedWords)
{
    const TimedLyrics lyrics(LyricTier::wordLevel, {w("one", 1, 2, 0), w("two", 2.5, 3, 0), w("three", 3.5, 4, 1)});
    const double justBefore = std::nextafter(4.8, 0.0), nan = std::numeric_limits<double>::quiet_NaN();
    const std::tuple<double, qsizetype, qsizetype> cases[] = {{0.999, -1, 0}, {1.0, 0, 1}, {2.2, 0, 1},
                                                              {2.5, 0, 2},    {3.5, 1, 1}, {justBefore, 1, 1},
                                                              {4.8, -1, 0},   {nan, -1, 0}};
    for (const auto& [t, group, started] : cases) {
        const auto active = lyrics.activeGroup(t);
        ASSERT_EQ(active ? active->index : -1, group) << t;
        EXPECT_TRUE(!active || (active->group == &lyrics.groups()[group] && active->startedWords == started)) << t;
    }
    const QList<TimedWord> runs = {w("a", 0, 1, 0), w("b", 1, 2, 2), w("c", 2, 3, 2), w("d", 3, 4, 0)};
    EXPECT_EQ(groupByLine(runs), (QList<WordGroup>{{runs[0]}, {runs[1], runs[2]}, {runs[3]}}));
    EXPECT_FALSE(TimedLyrics(LyricTier::wordLevel, {}).activeGroup(0));
}

// A document of the given words, where * stands for a whole word "a", repeated `copies` times.
QByteArray doc(QByteArray words, qsizetype copies = 1)
{
    words.replace("*", R"({"text":"a","start":1,"end":2,"line":0})");
    return R"({"tier":"wordLevel","words":[)" + (words + ',').repeated(copies).chopped(1) + "]}";
}

// Read back to the exact double; only well-typed documents of at most a song's words decode, with a reason if not.
TEST(TimedLyricsJson, StoresCompactlyAndDecodesOnlyWellTypedDocuments)
{
    EXPECT_EQ(encodeTimedLyrics(TimedLyrics(LyricTier::wordLevel, {w("a", 1, 2.5, 7)})),
              R"({"tier":"wordLevel","words":[{"end":2.5,"line":7,"start":1,"text":"a"}]})");
    const QList<TimedWord> words = {w("Hel", 0.1, 0.30000000000000004, 0), w("世界", 1.0 / 3, 2.5, 3),
                                    w("a", 2.5, 1e-7, -2)};
    const TimedLyrics original(LyricTier::interpolated, words);
    const auto decoded = decodeTimedLyrics(encodeTimedLyrics(original));
    ASSERT_TRUE(std::holds_alternative<TimedLyrics>(decoded));
    EXPECT_EQ(std::get<TimedLyrics>(decoded), original);
    EXPECT_EQ(std::get<TimedLyrics>(decoded).groups(), original.groups());
    const auto wordsIn = [](const QByteArray& json) -> qsizetype {
        const auto result = decodeTimedLyrics(json);
        const auto* lyrics = std::get_if<TimedLyrics>(&result);
        EXPECT_TRUE(lyrics || !std::get<LyricsDecodeError>(result).reason.isEmpty());
        return lyrics ? lyrics->words().size() : -1;
    };
    EXPECT_EQ(wordsIn(R"({"tier":"wordLevel","x":1,"words":[{"text":"a","start":1,"end":2,"line":0,"c":1}]})"), 1);
    EXPECT_EQ(wordsIn(doc(R"({"text":"a","start":1,"end":2,"line":3.0})")), 1);
    EXPECT_EQ(wordsIn(R"({"tier":"interpolated","words":[]})"), 0);
    EXPECT_EQ(wordsIn(doc("*", 5000)), 5000);
    EXPECT_EQ(wordsIn(doc("*", 5001)), -1);
    for (const char* json : {R"({"tier":)", "[]", R"({"tier":"WordLevel","words":[]})", R"({"tier":0,"words":[]})",
                             R"({"words":[]})", R"({"tier":"wordLevel"})", R"({"tier":"wordLevel","words":{}})"})
        EXPECT_EQ(wordsIn(json), -1) << json;
    for (const char* words :
         {R"(*,"a")", R"({"start":1,"end":2,"line":0})", R"({"text":1,"start":1,"end":2,"line":0})",
          R"({"text":"a","start":"1","end":2,"line":0})", R"({"text":"a","start":1,"end":null,"line":0})",
          R"({"text":"a","start":1,"end":2,"line":0.5})", R"({"text":"a","start":1,"end":2,"line":1e30})",
          R"({"text":"a","start":1,"end":2})"})
        EXPECT_EQ(wordsIn(doc(words)), -1) << words;
}

// A time tag, the bytes of an LRC file and its offset tag; it is word-level only with word tags.
TEST(LrcTags, ReadTimesOffsetsAndTheFilesBytes)
{
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"00:12.34", 12.34},  {"00:12.345", 12.345}, {"00:12", 12.0},       {"1:02:03.45", 62.03}, {"00:12.5", 12.05},
        {"00:12.050", 12.05}, {"03:15.xx", 195.0},   {"2880:00", 172800.0}, {"ar:someone", {}},    {"00: 12", {}},
        {"-1:00", {}},        {"00:-5", {}},         {"2880:01", {}},       {"1e400:00", {}},      {"nan:00", {}}};
    for (const auto& [tag, seconds] : cases) {
        const std::optional<double> read = readTimeTag(QString::fromUtf8(tag));
        EXPECT_EQ(read.has_value(), seconds.has_value()) << tag;
        EXPECT_NEAR(read.value_or(-1), seconds.value_or(-1), 1e-9) << tag;
    }
    EXPECT_EQ(readTimeTag(QString(23, u'9') + ":00"), std::nullopt);
    using B = std::pair<QByteArray, const char*>;
    for (const auto& [bytes, text] :
         {B{"[00:01.00]H\xC3\xA9", "[00:01.00]Hé"}, B{"\xEF\xBB\xBFok", "ok"}, B{"a\r\nb\r\n", "a\nb\n"},
          B{"a\rb", "a\nb"}, B{"Caf\xE9 cr\xE8me", "Café crème"}})
        EXPECT_EQ(decodeLyricFile(bytes), QString::fromUtf8(text)) << text;
    const std::pair<const char*, double> offsets[] = {
        {"[ti:y]\n[offset:+250]\n", 250},  {"[offset:-1200]", -1200},  {"[OFFSET: 40 ]", 40}, {"[offset:abc]", 0},
        {"[offset:172800000]", 172800000}, {"[offset:-172800001]", 0}, {"[offset:1.5]", 0}};
    for (const auto& [text, ms] : offsets)
        EXPECT_EQ(lrcOffsetMs(QString::fromUtf8(text)), ms) << text;
    EXPECT_EQ(parseLocalLyrics(u"[00:01.00]<00:01.00>a")->tier(), LyricTier::wordLevel);
    EXPECT_EQ(parseLocalLyrics(u"[00:01.00]a <b>")->tier(), LyricTier::interpolated);
}

// A line lasts 1.2 s + 0.18 s a grapheme, up to the next line (5 s after the last), at least 0.2 s; equal starts keep
// their order. Malformed input loses only what does not read.
TEST(Timing, EachReaderTimesWordsAndNumbersLinesAndKeepsWhatReads)
{
    using T = std::tuple<Parser, const char*, QList<TimedWord>>;
    for (const auto& [parse, text, words] :
         {T{yrc, "{\"c\":[]}\n[0,1](0,100,0)a\n[1,1](1000,100,0)b", {w("a", 0, 0.1, 0), w("b", 1, 1.1, 1)}},
          T{yrc, "[0,1](0,100,0)a\n[5,1]untimed\n[9,1](900,100,0)b", {w("a", 0, .1, 0), w("b", .9, 1, 2)}},
          T{yrc, "[0,1](100,200,0)a(300,x,0)b(500,100,0)c", {w("a", 0.1, 0.3, 0)}},
          T{yrc, "[0,1](,100,,+200,)a", {w("a", 0.1, 0.3, 0)}},
          T{yrc, "[0,1](0,100,0)   (100,100,0)b", {w("b", 0.1, 0.2, 0)}},
          T{yrc,
            "[0,1](500,100,0)x(500,50,0)y\n[1,1](200,100,0)z(500,10,0)w",
            {w("z", 0.2, 0.3, 1), w("x", 0.5, 0.6, 0), w("y", 0.5, 0.55, 0), w("w", 0.5, 0.51, 1)}},
          T{yrc, "[0,1](0,100,0)编曲：(100,100,0)x\n[1,1](200,100,0)sung", {w("sung", 0.2, 0.3, 0)}},
          T{yrc, "\xEF\xBB\xBF[0,1](0,100,0)a \r\n[1,1](100,100,0)b\r\n\r\n", {w("a", 0, .1, 0), w("b", .1, .2, 1)}},
          T{yrc, "[0,1](0,1,0)a(9223372036854775808,1,0)b\n[1,1](200,1,0)c", {w("a", 0, .001, 0), w("c", .2, .201, 1)}},
          T{lrc, "[00:30.00]hi there", {w("hi", 30, 30 + 2.46 * 2 / 7, 0), w("there", 30 + 2.46 * 2 / 7, 32.46, 0)}},
          T{lrc, "[00:00.00]abcdefghijklmnopqrstuvwxyz", {w("abcdefghijklmnopqrstuvwxyz", 0, 5, 0)}},
          T{lrc, "[00:01.00]abc\n[00:02.00]d", {w("abc", 1, 2, 0), w("d", 2, 3.38, 1)}},
          T{lrc, "[00:05.00]one\n[00:05.00]two", {w("one", 5, 5.2, 0), w("two", 5, 6.74, 1)}},
          T{lrc,
            "[00:10.00][00:40.00]chorus\n[00:20.00]verse",
            {w("chorus", 10, 12.28, 0), w("verse", 20, 22.1, 1), w("chorus", 40, 42.28, 2)}},
          T{lrc,
            "[00:00.00]e\xCC\x81t\xC3\xA9 9 \xF0\x9F\x98\x80x",
            {w("e\xCC\x81t\xC3\xA9", 0, 1.26, 0), w("9", 1.26, 1.68, 0), w("\xF0\x9F\x98\x80x", 1.68, 2.1, 0)}},
          T{lrc,
            "[1e300:00]junk\n[-1:05]neg\n[00:01.00]fine\n[00:02.1e999]still",
            {w("fine", 1, 2, 0), w("still", 2, 4.1, 1)}},
          T{local,
            "[00:12.00]<00:12.00>Some <00:12.40>words\n[00:15.00]<00:15.00>next",
            {w("Some", 12, 12.4, 0), w("words", 12.4, 14.4, 0), w("next", 15, 17, 1)}},
          T{local,
            "[00:01.00]<00:01.00>a <00:02.00>b\n[00:03.00]<00:03.00>c",
            {w("a", 1, 2, 0), w("b", 2, 3, 0), w("c", 3, 5, 1)}},
          T{local, "[00:05.00]Hello <00:06.00>there", {w("Hello", 5, 6, 0), w("there", 6, 8, 0)}},
          T{local, "[offset:+500]\n[00:10.00]a\n[00:20.00]b", {w("a", 9.5, 10.88, 0), w("b", 19.5, 20.88, 1)}},
          T{local, "[offset:-1000]\n[00:01.00]<00:01.00>a <00:01.50>b", {w("a", 2, 2.5, 0), w("b", 2.5, 4.5, 0)}},
          T{local, "[offset:5000]\n[00:01.00]a", {w("a", 0, 0, 0)}},
          T{yrc, "[0,1](9223372036854775807,9223372036854775807,0)bad(1,1,0)good", {w("good", .001, .002, 0)}}}) {
        SCOPED_TRACE(text);
        expectWords(parse(QString::fromUtf8(text)), words);
    }
    using Kept = std::tuple<Parser, const char*, QStringList>;  // the reader, the text, the words it keeps
    for (const auto& [parse, text, texts] :
         {Kept{yrc, "[0,1](100)a(200,100,0)b", {}}, Kept{yrc, "[0,1](100, 200,0)a", {}},
          Kept{yrc, "[0,1](0,100,0)a(200,100,0", {"a"}}, Kept{yrc, "[0,1]lead (0,100,0)a", {"a"}},
          Kept{yrc, "[junk](0,100,0)a\n(0,100,0)no header", {"a"}},
          Kept{yrc, "[0,1](-100,100,0)bad(100,100,0)good", {"good"}},
          Kept{yrc, "[0,1](100,-100,0)bad(100,100,0)good", {"good"}},
          Kept{yrc, "[0,1](172800000,1,0)bad(100,100,0)good", {"good"}},
          Kept{yrc, "[0,1](172799999,1,0)edge", {"edge"}}, Kept{yrc, "\n\n", {}}})
        EXPECT_EQ(textsOf(parse(QString::fromUtf8(text))), texts) << text;
    for (const auto& [parse, text, texts] :
         {Kept{lrc, "[ar:someone]\n[ti:song]\n[00:01.00]sung", {"sung"}},
          Kept{lrc, "[00:05.00]\n[00:06.00]   \n[00:07.00]x", {"x"}}, Kept{lrc, "plain words\n[ar:x]tagged", {}},
          Kept{lrc, "[00:01.00][oops", {"[oops"}}, Kept{lrc, "[00:01.00][by:x][00:03.00]hey", {"hey", "hey"}},
          Kept{lrc, "[00:00.00]作词 : x\n[00:01.00]Lyrics by: x\n[00:02.00]la", {"la"}},
          Kept{lrc, "[00:01.00]a\tb c", {"a\tb", "c"}}, Kept{lrc, "[00:01.00]hey\n[00:02.00]...", {"hey..."}},
          Kept{lrc, "\xEF\xBB\xBF[00:01.00]one\r\n[00:02.00]two\r\n", {"one", "two"}},
          Kept{local, "[ar:A]\n[length:03:20]\n[00:10.00]one two\n[00:20.00]three", {"one", "two", "three"}},
          Kept{local, "[00:01.00]<00:01.00>a <b> <00:02.00>c", {"a", "<b>", "c"}},
          Kept{local, "[00:01.00]<00:01.00>作曲: <00:01.50>x\n[00:02.00]<00:02.00>y", {"y"}},
          Kept{local, "just words\n[ar:Someone]", {}}, Kept{local, "[00:01.00]<00:01.00>", {}}})
        EXPECT_EQ(textsOf(parse(QString::fromUtf8(text))), texts) << text;
}

// A text of `lines` lines of `words` words; kind 'l': line-level, 'w': word-level, 'e': enhanced LRC.
QString budgetText(char kind, int lines, int words)
{
    QString text;
    for (int l = 0; l < lines; ++l) {
        const QString time = QString::asprintf("%02d:%02d", l / 60, l % 60);
        text += kind == 'w' ? QStringLiteral("[%1,1000]").arg(l * 1000) : u'[' + time + QStringLiteral(".00]");
        for (int i = 0; i < words; ++i)
            text += kind == 'w'   ? QStringLiteral("(%1,10,0)la ").arg(l * 1000 + i)
                    : kind == 'e' ? QString::asprintf("<%s.%02d>la ", qPrintable(time), i % 100)
                                  : QStringLiteral("la ");
        text += u'\n';
    }
    return text;
}

// Far above a real song, far below what a hostile text could make: 100 words a line, 1000 lines, 5000 words.
TEST(Budget, CutsWhatIsMoreThanASong)
{
    const std::tuple<char, int, int, qsizetype, qsizetype> cases[] = {
        // kind, lines, words a line, kept lines, words
        {'l', 1, 20000, 1, 100}, {'l', 1000, 2, 1000, 2000}, {'l', 1001, 2, 1000, 2000}, {'l', 600, 10, 500, 5000},
        {'w', 2, 100, 2, 200},   {'w', 1, 20000, 1, 100},    {'w', 1001, 2, 1000, 2000}, {'w', 600, 10, 500, 5000},
        {'e', 1, 20000, 1, 100}, {'e', 600, 10, 500, 5000}};
    for (const auto& [kind, lines, perLine, keptLines, keptWords] : cases) {
        SCOPED_TRACE(testing::Message() << kind << lines << 'x' << perLine);
        const LogLines log;
        const Parser parse = kind == 'l' ? lrc : kind == 'w' ? yrc : local;
        const QList<TimedWord> words = parse(budgetText(kind, lines, perLine));
        QSet<std::int64_t> kept;
        for (const TimedWord& word : words)
            kept.insert(word.line);
        EXPECT_EQ(kept.size(), keptLines);
        EXPECT_EQ(words.size(), keptWords);
        const QString cut = "lyrics: the text holds more than a song — kept %1 words, left out the rest";
        EXPECT_EQ(log.newMessages(), keptWords < lines * perLine ? QStringList{cut.arg(keptWords)} : QStringList());
    }
}

TEST(Filters, GlueWordsKnowCreditLinesAndDropTranslationLines)
{
    using C = std::pair<QList<TimedWord>, QList<TimedWord>>;
    for (const auto& [input, expected] :
         {C{{w("Hello", 0, 1, 0), w(",", 1, 1.5, 0), w("x", 2, 3, 0)}, {w("Hello,", 0, 1.5, 0), w("x", 2, 3, 0)}},
          C{{w("Hello", 0, 2, 0), w("!", 1, 1.5, 0)}, {w("Hello!", 0, 2, 0)}},
          C{{w("end", 0, 1, 0), w("—", 1, 2, 1), w("go", 2, 3, 1)}, {w("end—", 0, 2, 0), w("go", 2, 3, 1)}},
          C{{w("…", 0, 1, 0), w("go", 1, 2, 0)}, {w("go", 1, 2, 0)}},
          C{{w("a", 0, 1, 0), w("（oh）", 1, 2, 0), w("（ ）", 2, 3, 0)}, {w("a", 0, 1, 0), w("oh", 1, 2, 0)}},
          C{{w("\t x \xE3\x80\x80", 0, 1, 0)}, {w("x", 0, 1, 0)}},
          C{{w("love", 0, 1, 0), w("😀", 1, 2, 0)}, {w("love😀", 0, 2, 0)}},
          C{{w("\xCC\x81", 0, 1, 0), w("99", 1, 2, 0)}, {w("\xCC\x81", 0, 1, 0), w("99", 1, 2, 0)}}}) {
        SCOPED_TRACE(textsOf(input).join(u' ').toStdString());
        expectWords(cleanWords(input), expected);
    }
    // A credit is a short label naming a role before the first colon (the last: twelve characters in fifteen UTF-16
    // units). Translation lines are dropped, with a log line, under a title without ideographs.
    for (const char* credit : {"作词 : 某人", "作曲：某人", "Lyrics by: Someone", "  PRODUCER: Someone",
                               "Composed by: x", "鼓: x", "Arranged by: x", "e\u0301e\u0301e\u0301 producer: x"})
        EXPECT_TRUE(isCreditLine(QString::fromUtf8(credit))) << credit;
    for (const char* sung : {"Executive producer: x", "a co-producer: x", "I love you", "producer without colon",
                             "Time: now", ":", "hey: producer: x"})
        EXPECT_FALSE(isCreditLine(QString::fromUtf8(sung))) << sung;
    const LogLines log;
    const QList<TimedWord> bilingual = {w("Hello", 0, 1, 0), w("你好黑暗", 2, 3, 1), w("my", 3, 4, 2),
                                        w("我的", 5, 6, 3),  w("朋友", 6, 7, 3),     w("again", 7, 8, 1)};
    EXPECT_EQ(textsOf(dropTranslationLines(bilingual, u"The Sound", u"Artist")), (QStringList{"Hello", "my"}));
    EXPECT_EQ(dropTranslationLines(bilingual, u"声音", u"Artist"), bilingual);
    EXPECT_EQ(dropTranslationLines(bilingual, u"Sound", u"歌手"), bilingual);
    const QList<TimedWord> chinese = {w("我的", 0, 1, 0), w("朋友", 1, 2, 1)};
    EXPECT_EQ(dropTranslationLines(chinese, u"Friend", u"Artist"), chinese);
    EXPECT_EQ(log.newMessages(), QStringList{QStringLiteral("lyrics: dropped 4 translation-line words")});
    // A translation line is mostly ideographs, and holds no kana (that would be Japanese, sung).
    const auto kept = [](const char* line) {
        return dropTranslationLines({w("keep", 0, 1, 0), w(line, 1, 2, 1)}, u"Title", u"Artist").size();
    };
    for (const char* line : {"爱爱a", "爱!!!...", "\u3400", "\uF900\uF900"})
        EXPECT_EQ(kept(line), 1) << line;
    for (const char* line : {"愛愛愛愛愛の", "爱ab", "爱爱ab", "사랑해"})
        EXPECT_EQ(kept(line), 2) << line;
}

}  // namespace
