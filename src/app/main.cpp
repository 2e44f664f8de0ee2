#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

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

    std::fputs("zuvik: the overlay is not built yet; see --help\n", stderr);
    return 0;
}
