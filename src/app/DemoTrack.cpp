#include "app/DemoTrack.h"

#include <cmath>

namespace demo_track {

namespace {

struct DemoLine {
    double start;
    double end;
    const char16_t* text;
};

// Each line's words share its time by their length, with a short gap before the next word, as a
// singer stretches long words and clips short ones.
constexpr DemoLine demoLines[] = {
    {0.6, 4.4, u"turn the night up loud"},
    {5.0, 8.8, u"the city hums a silver song"},
    {9.4, 13.2, u"every window shining like a star"},
    {13.8, 17.8, u"we run beneath the summer rain"},
    {18.4, 22.4, u"hearts on fire hands up high"},
    {23.0, 27.6, u"sing it back to me tonight"},
};

constexpr double gapShare = 0.12;

void appendLine(QList<TimedWord>& words, const DemoLine& line, std::int64_t number)
{
    const QStringList texts = QString::fromUtf16(line.text).split(u' ', Qt::SkipEmptyParts);
    qsizetype letters = 0;
    for (const QString& text : texts)
        letters += text.size() + 2;  // two letters' worth each, so short words still get time
    double at = line.start;
    const double perLetter = (line.end - line.start) / static_cast<double>(letters);
    for (const QString& text : texts) {
        const double span = perLetter * static_cast<double>(text.size() + 2);
        words.append({text, at, at + span * (1 - gapShare), number});
        at += span;
    }
}

}  // namespace

NowPlayingTrack track() { return {QStringLiteral("Silver Song (Zuvik Demo)"), QStringLiteral("Zuvik"), duration}; }

TimedLyrics lyrics()
{
    QList<TimedWord> words;
    std::int64_t number = 0;
    for (const DemoLine& line : demoLines)
        appendLine(words, line, number++);
    return TimedLyrics(LyricTier::wordLevel, std::move(words));
}

NowPlayingMonitor::StartQuery playerQuery(QDateTime startedAt, NowPlayingMonitor::Clock clock)
{
    return [startedAt, clock](NowPlayingMonitor::Completion done) {
        const QDateTime now = clock();
        const double elapsed = 1e-3 * static_cast<double>(startedAt.msecsTo(now));
        PlayerSample sample;
        sample.source = QStringLiteral("demo");
        const NowPlayingTrack demo = track();
        sample.title = demo.title;
        sample.artist = demo.artist;
        sample.duration = demo.duration;
        sample.position = std::fmod(std::max(elapsed, 0.0), duration);
        sample.isPlaying = true;
        sample.sampledAt = now;
        done(sample);
    };
}

}  // namespace demo_track
