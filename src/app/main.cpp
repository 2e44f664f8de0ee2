#include "app/LyricsCommand.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

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

    std::fputs("zuvik: the overlay is not built yet; see --help\n", stderr);
    return 0;
}
