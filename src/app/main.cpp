#include "platform/PlayerBackends.h"
#include "playback/NowPlayingMonitor.h"
#include "playback/PlayerQuery.h"

#include <QCommandLineParser>
#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zuvik"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZUVIK_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shows the lyrics of the playing song, word by word, as an overlay on every display."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);

    // Until the overlay exists, the application tracks what plays and reports it in the log.
    PlayerQuery query(makePlayerScriptHost);
    NowPlayingMonitor monitor([&query](NowPlayingMonitor::Completion done) { query.run(std::move(done)); });
    return QCoreApplication::exec();
}
