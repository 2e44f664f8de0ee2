#include "app/cli/StillFrame.h"

#include "app/AppServices.h"
#include "app/DemoTrack.h"
#include "app/EngineFrameFeed.h"
#include "app/LyricEngine.h"
#include "lyrics/LyricsProvider.h"
#include "lyrics/PendingLyrics.h"
#include "overlay/LyricBand.h"
#include "overlay/OverlayTypes.h"
#include "overlay/TopmostWindow.h"
#include "settings/AppSettings.h"
#include "visuals/KeywordLookup.h"
#include "visuals/WordVisualResolver.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QPainter>
#include <QQmlEngine>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int failedStatus = 1;
constexpr int lyricsWaitMs = 15'000;
constexpr int replayFrames = 60;  // one second at 60 frames a second

void complain(const QString& message) { std::fprintf(stderr, "zuvik: %s\n", qPrintable(message)); }

NowPlayingTrack trackOf(const StillRequest& request)
{
    if (request.title.isEmpty())
        return demo_track::track();
    return {request.title, request.artist, request.duration};
}

// A player that reports the track at the requested position at the still's instant.
NowPlayingMonitor::StartQuery pausedAt(const NowPlayingTrack& track, double position, const QDateTime& instant)
{
    return [track, position, instant](NowPlayingMonitor::Completion done) {
        done(PlayerSample{QStringLiteral("still"), track.title, track.artist, track.duration, position, true, instant});
    };
}

// Waits for the lookup's answer: lyrics, or the word that there are none, which ends the wait at
// once rather than at the time limit.
bool waitForLyrics(LyricEngine& engine, const bool& lookupAnswered)
{
    QEventLoop loop;
    QObject::connect(&engine, &LyricEngine::lyricsChanged, &loop, [&](const auto& lyrics) {
        if (lyrics || lookupAnswered)
            loop.quit();
    });
    QTimer::singleShot(lyricsWaitMs, &loop, &QEventLoop::quit);
    if (!engine.lyrics() && !lookupAnswered)
        loop.exec();
    return engine.lyrics().has_value();
}

// The pictograms of the song's words, resolved before the frame is drawn (live, they are resolved
// while the song plays).
void resolveVisuals(WordVisualResolver& resolver, const TimedLyrics& lyrics)
{
    QEventLoop loop;
    QObject::connect(&resolver, &WordVisualResolver::prefetchFinished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    QTimer::singleShot(lyricsWaitMs, &loop, &QEventLoop::quit);
    resolver.prefetch(lyrics.words());
    loop.exec();
}

QImage onDisplay(const QImage& grabbed, const TopmostWindow& window, const StillRequest& request)
{
    QImage picture(request.size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(request.background);
    QPainter painter(&picture);
    painter.drawImage(window.geometry().topLeft(), grabbed);
    return picture;
}

const QDateTime stillInstant = QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);

}  // namespace

int renderStillFrame(const StillRequest& request, std::optional<LyricStyle> style, AppServices& services)
{
    // The band sways with the clock: at a fixed instant the same request gives the same picture
    // on every run.
    const QDateTime instant = stillInstant;
    const NowPlayingTrack track = trackOf(request);
    const bool isDemo = request.title.isEmpty();
    QObject answers;
    bool lookupAnswered = false;
    LyricEngine engine(pausedAt(track, request.at, instant), [&](const NowPlayingTrack& wanted) -> PendingLyrics* {
        PendingLyrics* lookup = isDemo ? static_cast<PendingLyrics*>(new ReadyLyrics(demo_track::lyrics(), &answers))
                                       : services.lyrics().lookup(wanted);
        // Connected before the engine follows the lookup, so the engine has its answer by the
        // time lyricsChanged reports it.
        QObject::connect(lookup, &PendingLyrics::finished, &answers, [&lookupAnswered] { lookupAnswered = true; });
        return lookup;
    });
    if (!waitForLyrics(engine, lookupAnswered)) {
        complain(QStringLiteral("no lyrics for \"%1\" by \"%2\"").arg(track.title, track.artist));
        return failedStatus;
    }

    AppSettings& settings = services.settings();
    EngineFrameFeed feed(engine, settings);
    feed.overrideStyle(style);
    WordVisualResolver resolver(services.wordVisualSources(), services.keywords());
    const LyricStyle drawn = style.value_or(settings.style());
    if (drawn == LyricStyle::visual || drawn == LyricStyle::fisheyeVisual) {
        resolveVisuals(resolver, *engine.lyrics());
        feed.setVisuals([&resolver](const QString& word) { return resolver.visual(word); });
    }
    registerOverlayTypes();
    QQmlEngine qml;
    TopmostWindow window(qml, *QGuiApplication::primaryScreen(), feed);
    window.fitToDisplay(QRect(QPoint(0, 0), request.size));
    LyricBand* band = window.band();
    if (!band) {
        complain(QStringLiteral("the overlay scene could not be loaded"));
        return failedStatus;
    }
    band->setLive(false);
    band->setClock([instant] { return instant; });
    for (int frame = 0; frame <= replayFrames; ++frame) {
        const double before = static_cast<double>(replayFrames - frame) / replayFrames;
        band->advance(instant.addMSecs(-static_cast<qint64>(before * 1000)), static_cast<double>(frame) / replayFrames);
    }
    const QImage grabbed = window.grabWindow();
    if (grabbed.isNull()) {
        complain(QStringLiteral("the frame could not be rendered (is there a display or an OpenGL driver?)"));
        return failedStatus;
    }
    if (!onDisplay(grabbed, window, request).save(request.outputPath, "PNG")) {
        complain(QStringLiteral("could not write %1").arg(request.outputPath));
        return failedStatus;
    }
    return 0;
}
