#include "app/cli/LyricsCommand.h"

#include "app/AppServices.h"
#include "app/cli/AppOptions.h"
#include "foundation/DiagLog.h"
#include "lyrics/LyricsLog.h"
#include "lyrics/LyricsProvider.h"
#include "lyrics/TimedLyricsJson.h"
#include "platform/dbus/LyricsRequestBus.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
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
    enum class Kind { lookUp, listCandidates, reject };
    Kind kind = Kind::lookUp;
    NowPlayingTrack track;
    bool asJson = false;
};

struct Options {
    QCommandLineOption artist{QStringLiteral("artist"), QStringLiteral("The track's artist."), QStringLiteral("A")};
    QCommandLineOption title{QStringLiteral("title"), QStringLiteral("The track's title."), QStringLiteral("T")};
    QCommandLineOption duration{QStringLiteral("duration"), QStringLiteral("The track's length in seconds."),
                                QStringLiteral("S")};
    QCommandLineOption json{QStringLiteral("json"), QStringLiteral("Print the document as the cache stores it.")};
    QCommandLineOption candidates{
        QStringLiteral("candidates"),
        QStringLiteral("List what every source found, in the order they are asked: source, id, name, artists, "
                       "duration, status.")};
    QCommandLineOption reject{QStringLiteral("reject"),
                              QStringLiteral("The lyrics the running Zuvik shows are the wrong song's: try another.")};
};

// The request, or an error message for standard error.
std::variant<Request, QString> readRequest(QCommandLineParser& parser, const Options& options)
{
    if (!parser.positionalArguments().isEmpty())
        return QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first());
    if (parser.isSet(options.reject)) {
        const bool alone = !parser.isSet(options.artist) && !parser.isSet(options.title)
                           && !parser.isSet(options.duration) && !parser.isSet(options.json)
                           && !parser.isSet(options.candidates);
        if (!alone)
            return QStringLiteral("--reject takes no other option: it is about the track now playing");
        return Request{Request::Kind::reject, {}, false};
    }
    if (!parser.isSet(options.artist) || !parser.isSet(options.title))
        return QStringLiteral("both --artist and --title are needed");
    if (parser.isSet(options.candidates) && parser.isSet(options.json))
        return QStringLiteral("--candidates and --json do not go together");
    const Request::Kind kind = parser.isSet(options.candidates) ? Request::Kind::listCandidates : Request::Kind::lookUp;
    Request request{kind, {parser.value(options.title), parser.value(options.artist), 0}, parser.isSet(options.json)};
    if (parser.isSet(options.duration)) {
        const std::optional<double> length = trackDurationFromText(parser.value(options.duration));
        if (!length)
            return QStringLiteral("--duration takes a number of seconds above 0 and up to %1, not \"%2\"")
                .arg(longestTrackSeconds)
                .arg(parser.value(options.duration));
        request.track.duration = *length;
    }
    return request;
}

int lookUp(const Request& request, LyricsProvider& provider)
{
    int status = noneStatus;
    LyricsLookup* lookup = provider.lookup(request.track);
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

QString durationText(std::int64_t milliseconds)
{
    if (milliseconds <= 0)
        return QStringLiteral("?");
    const std::int64_t tenths = (milliseconds + 50) / 100;
    return QStringLiteral("%1:%2.%3").arg(tenths / 600).arg(tenths / 10 % 60, 2, 10, QLatin1Char('0')).arg(tenths % 10);
}

// Whether the result gave the lyrics, was sent away, passed the identity and duration test, or did not.
QString statusOf(const Candidate& candidate, const LyricsLookup::SourceResults& results, const LyricsOrigin& origin,
                 const QSet<std::int64_t>& rejected)
{
    if (origin.candidateKnown && origin.candidate.source == candidate.source && origin.candidate.id == candidate.id)
        return QStringLiteral("chosen");
    if (rejected.contains(candidate.id))
        return QStringLiteral("rejected");
    const bool matched = std::any_of(results.matches.cbegin(), results.matches.cend(),
                                     [&](const Candidate& match) { return match.id == candidate.id; });
    return matched ? QStringLiteral("match") : QStringLiteral("no match");
}

// Every source's results in the order the sources are asked, each in reply order.
QByteArray candidateTable(const LyricsLookup& lookup, const RejectedCandidates& rejections)
{
    QByteArray table = "source\tid\tname\tartists\tduration\tstatus\n";
    for (const LyricsLookup::SourceResults& results : lookup.results()) {
        const QSet<std::int64_t> rejected = rejections.rejectedFor(lookup.track(), results.source);
        for (const Candidate& candidate : results.found) {
            const QStringList fields{sourceName(results.source),
                                     QString::number(candidate.id),
                                     candidate.name,
                                     candidate.artists.join(QStringLiteral(", ")),
                                     durationText(candidate.durationMs),
                                     statusOf(candidate, results, lookup.origin(), rejected)};
            table += fields.join(u'\t').toUtf8() + '\n';
        }
    }
    return table;
}

// The sources are asked afresh, every one of them, so that "chosen" names the candidate the
// lyrics come from and the others are listed too.
int listCandidates(const Request& request, LyricsProvider& provider)
{
    int status = noneStatus;
    const RejectedCandidates& rejections = provider.rejections();
    LyricsLookup* lookup = provider.survey(request.track);
    QObject::connect(lookup, &LyricsLookup::finished, lookup, [&, lookup] {
        if (lookup->searchResults().isEmpty()) {
            print(stderr, "zuvik lyrics: the search returned no candidate\n");
        } else {
            print(stdout, candidateTable(*lookup, rejections));
            status = foundStatus;
        }
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    DiagLog::shared().waitUntilWritten();
    return status;
}

int askForRejection(const QString& busName)
{
    const RunningCopyReply reply = requestRejection(busName);
    if (reply.outcome == RunningCopyOutcome::answered) {
        print(stdout, (reply.text + u'\n').toUtf8());
        return foundStatus;
    }
    const QString hint = reply.outcome == RunningCopyOutcome::noRunningInstance ? QStringLiteral(" — start Zuvik first")
                                                                                : QString();
    print(stderr, (QStringLiteral("zuvik lyrics: ") + reply.text + hint + u'\n').toUtf8());
    return noneStatus;
}

}  // namespace

bool isLyricsCommand(const QStringList& arguments) { return arguments.size() > 1 && arguments[1] == u"lyrics"; }

int runLyricsCommand(const QStringList& arguments, const QString& busName, AppServices& services)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Looks up the timed lyrics of one track and prints them."));
    const Options options;
    parser.addOptions(
        {options.artist, options.title, options.duration, options.json, options.candidates, options.reject});
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
    const Request& wanted = std::get<Request>(request);
    switch (wanted.kind) {
    case Request::Kind::reject:
        return askForRejection(busName);
    case Request::Kind::listCandidates:
        return listCandidates(wanted, services.lyrics());
    case Request::Kind::lookUp:
        break;
    }
    return lookUp(wanted, services.lyrics());
}
