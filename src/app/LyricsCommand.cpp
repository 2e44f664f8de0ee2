#include "app/LyricsCommand.h"

#include "app/DiagLog.h"
#include "lyrics/LyricsProvider.h"
#include "lyrics/TimedLyricsJson.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>

#include <cmath>
#include <cstdio>
#include <optional>
#include <variant>

namespace {

constexpr int foundStatus = 0;
constexpr int noneStatus = 1;
constexpr int badArgumentsStatus = 2;

void print(std::FILE* stream, const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

// "[mm:ss.xx] words of the line": the line's first word's start, to the nearest hundredth.
QString timedLine(const WordGroup& group)
{
    const qint64 hundredths = std::llround(group.first().start * 100.0);
    QStringList texts;
    for (const TimedWord& word : group)
        texts.append(word.text);
    return QStringLiteral("[%1:%2.%3] ")
               .arg(hundredths / 6000, 2, 10, QLatin1Char('0'))
               .arg(hundredths / 100 % 60, 2, 10, QLatin1Char('0'))
               .arg(hundredths % 100, 2, 10, QLatin1Char('0'))
           + texts.join(u' ');
}

QByteArray rendered(const TimedLyrics& lyrics, bool asJson)
{
    if (asJson)
        return encodeTimedLyrics(lyrics) + '\n';
    QByteArray text;
    for (const WordGroup& group : lyrics.groups())
        text += timedLine(group).toUtf8() + '\n';
    return text;
}

struct Request {
    NowPlayingTrack track;
    bool asJson = false;
};

struct Options {
    QCommandLineOption artist{QStringLiteral("artist"), QStringLiteral("The track's artist."), QStringLiteral("A")};
    QCommandLineOption title{QStringLiteral("title"), QStringLiteral("The track's title."), QStringLiteral("T")};
    QCommandLineOption duration{QStringLiteral("duration"), QStringLiteral("The track's length in seconds."),
                                QStringLiteral("S")};
    QCommandLineOption json{QStringLiteral("json"), QStringLiteral("Print the document as the cache stores it.")};
};

// The request, or an error message for standard error.
std::variant<Request, QString> readRequest(QCommandLineParser& parser, const Options& options)
{
    if (!parser.positionalArguments().isEmpty())
        return QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first());
    if (!parser.isSet(options.artist) || !parser.isSet(options.title))
        return QStringLiteral("both --artist and --title are needed");
    Request request{{parser.value(options.title), parser.value(options.artist), 0}, parser.isSet(options.json)};
    if (parser.isSet(options.duration)) {
        bool ok = false;
        request.track.duration = QLocale::c().toDouble(parser.value(options.duration), &ok);
        if (!ok || !std::isfinite(request.track.duration))
            return QStringLiteral("--duration takes a number of seconds");
    }
    return request;
}

int lookUp(const Request& request)
{
    int status = noneStatus;
    LyricsLookup* lookup = LyricsProvider::shared().lookup(request.track);
    QObject::connect(lookup, &LyricsLookup::finished, lookup, [&](const std::optional<TimedLyrics>& lyrics) {
        if (lyrics) {
            print(stdout, rendered(*lyrics, request.asJson));
            status = foundStatus;
        }
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    // The command is done only once its log lines are in the file as well.
    DiagLog::shared().waitUntilWritten();
    return status;
}

}  // namespace

bool isLyricsCommand(const QStringList& arguments)
{
    return arguments.size() > 1 && arguments[1] == u"lyrics";
}

int runLyricsCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Looks up the timed lyrics of one track and prints them."));
    const Options options;
    parser.addOptions({options.artist, options.title, options.duration, options.json});
    const QCommandLineOption help = parser.addHelpOption();

    QStringList commandLine = arguments.mid(2);
    commandLine.prepend(arguments.value(0));
    if (!parser.parse(commandLine)) {
        print(stderr, (QStringLiteral("zuvik lyrics: ") + parser.errorText() + u'\n').toUtf8());
        return badArgumentsStatus;
    }
    if (parser.isSet(help)) {
        print(stdout, parser.helpText().toUtf8());
        return foundStatus;
    }
    const auto request = readRequest(parser, options);
    if (const QString* error = std::get_if<QString>(&request)) {
        print(stderr, (QStringLiteral("zuvik lyrics: ") + *error + u'\n' + parser.helpText()).toUtf8());
        return badArgumentsStatus;
    }
    return lookUp(std::get<Request>(request));
}
