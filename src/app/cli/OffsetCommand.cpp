#include "app/cli/OffsetCommand.h"

#include "lyrics/TrackOffsets.h"

#include <cmath>

namespace {

constexpr int okStatus = 0;
constexpr int notDoneStatus = 1;
constexpr int badArgumentsStatus = 2;

const QString usage = QStringLiteral(
    "usage: zuvik offset [+|-]SECONDS | reset | show\n"
    "  SECONDS  the current track's lyrics that much later (negative: earlier), within ±30\n");

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = (text + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

}  // namespace

bool isOffsetCommand(const QStringList& arguments) { return arguments.size() >= 2 && arguments[1] == u"offset"; }

std::variant<TimingRequest, QString> parseOffsetArguments(const QStringList& arguments)
{
    if (arguments.size() != 3)
        return usage;
    const QString& value = arguments[2];
    if (value == u"reset")
        return TimingRequest{TimingRequest::Kind::reset, 0};
    if (value == u"show")
        return TimingRequest{TimingRequest::Kind::show, 0};
    // Written as a user writes it: a sign is optional, "−" counts as "-", and "s" may follow.
    QString number = value.trimmed();
    number.replace(u'\u2212', u'-');
    if (number.endsWith(u's'))
        number.chop(1);
    bool ok = false;
    const double seconds = number.toDouble(&ok);
    if (!ok || !std::isfinite(seconds))
        return QStringLiteral("zuvik offset: \"%1\" is not a number of seconds\n").arg(value) + usage;
    if (std::abs(seconds) > TrackOffsets::limit)
        return QStringLiteral("zuvik offset: %1 is beyond ±30 seconds\n").arg(value) + usage;
    return TimingRequest{TimingRequest::Kind::set, seconds};
}

int runOffsetCommand(const QStringList& arguments, const QString& busName, std::FILE* out, std::FILE* err)
{
    if (arguments.size() == 3 && (arguments[2] == u"--help" || arguments[2] == u"-h")) {
        std::fputs(qPrintable(usage), out);
        return okStatus;
    }
    const auto parsed = parseOffsetArguments(arguments);
    if (const QString* message = std::get_if<QString>(&parsed)) {
        std::fputs(qPrintable(*message), err);
        return badArgumentsStatus;
    }
    const RunningCopyReply reply = requestTiming(busName, std::get<TimingRequest>(parsed));
    switch (reply.outcome) {
    case RunningCopyOutcome::answered:
        print(out, reply.text);
        return okStatus;
    case RunningCopyOutcome::noRunningInstance:
        print(err, QStringLiteral("zuvik offset: %1 — start Zuvik first").arg(reply.text));
        return notDoneStatus;
    case RunningCopyOutcome::refused:
    case RunningCopyOutcome::noSessionBus:
    case RunningCopyOutcome::failed:
        break;
    }
    print(err, QStringLiteral("zuvik offset: ") + reply.text);
    return notDoneStatus;
}
