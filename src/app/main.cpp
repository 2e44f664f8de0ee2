#include "app/DiagLog.h"
#include "app/LyricEngine.h"
#include "app/LyricsCommand.h"
#include "app/ScreenAwake.h"
#include "app/SingleInstance.h"
#include "lyrics/LyricsProvider.h"
#include "platform/PlayerBackends.h"
#include "platform/freedesktop/ScreenSaverInhibitor.h"
#include "playback/PlayerQuery.h"
#include "settings/AppSettings.h"
#include "visuals/WordVisualResolver.h"

#include <QCommandLineParser>
#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zuvik"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZUVIK_VERSION));

    if (isLyricsCommand(QCoreApplication::arguments()))
        return runLyricsCommand(QCoreApplication::arguments());

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shows the lyrics of the playing song, word by word, as an overlay on every display."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("lyrics"),
                                 QStringLiteral("Look up one track's lyrics and print them (zuvik lyrics --help)."),
                                 QStringLiteral("[lyrics --artist A --title T [--duration S] [--json]]"));
    parser.process(app);

    if (SingleInstance().claim() == SingleInstance::Claim::anotherIsRunning) {
        DiagLog::log(QStringLiteral("another Orvane instance is running — exiting this one"));
        DiagLog::shared().waitUntilWritten();
        return 0;
    }

    // Until the overlay exists, the application follows the player, fetches each track's lyrics
    // and keeps the display awake while music plays, reporting all of it in the log.
    AppSettings& settings = AppSettings::shared();
    ScreenSaverInhibitor inhibitor;
    ScreenAwake screenAwake(inhibitor, [&settings] { return settings.keepScreenAwake(); });
    PlayerQuery query(makePlayerScriptHost);
    LyricEngine engine([&query](NowPlayingMonitor::Completion done) { query.run(std::move(done)); },
                       [](const NowPlayingTrack& track) { return LyricsProvider::shared().lookup(track); });
    QObject::connect(&engine.nowPlaying(), &NowPlayingMonitor::playingReported, &screenAwake, [&](bool playing) {
        screenAwake.setPlaying(playing);
        screenAwake.update();
    });
    QObject::connect(&settings, &AppSettings::screenAwakeUpdateRequested, &screenAwake, &ScreenAwake::update);
    // Pictograms are resolved ahead of time for the words of every newly found song.
    WordVisualResolver wordVisuals(WordVisualResolver::defaultSources());
    QObject::connect(&engine, &LyricEngine::lyricsFound, &wordVisuals, &WordVisualResolver::prefetch);
    return QCoreApplication::exec();
}
