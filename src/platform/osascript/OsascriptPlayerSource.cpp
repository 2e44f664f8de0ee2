#include "platform/osascript/OsascriptPlayerSource.h"

#include "platform/osascript/PlayerQueryScript.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

std::unique_ptr<PlayerSource> OsascriptPlayerSource::create()
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("osascript"));
    if (program.isEmpty())
        return nullptr;
    return std::make_unique<OsascriptPlayerSource>(program);
}

OsascriptPlayerSource::OsascriptPlayerSource(QString program)
    : m_program(std::move(program))
{}

PlayerResult OsascriptPlayerSource::read()
{
    ScriptResult result = runOsascript(m_program, playerQueryScript());
    if (auto* error = std::get_if<PlayerError>(&result))
        return std::move(*error);
    const QString& reply = std::get<QString>(result);
    return PlayerReading{reply, readPlayerReply(reply)};
}

ScriptResult runOsascript(const QString& program, const QString& script)
{
    constexpr int timeoutMs = OsascriptPlayerSource::timeoutMs;
    QProcess process;
    process.start(program, QStringList());
    if (!process.waitForStarted(timeoutMs))
        return PlayerError{std::nullopt, process.errorString()};
    process.write(script.toUtf8());
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return PlayerError{std::nullopt, QStringLiteral("osascript did not finish within %1 s").arg(timeoutMs / 1000)};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return osascriptError(QString::fromUtf8(process.readAllStandardError()));
    QString reply = QString::fromUtf8(process.readAllStandardOutput());
    if (reply.endsWith(u'\n'))  // osascript ends the printed result with a line feed of its own
        reply.chop(1);
    return reply;
}

PlayerError osascriptError(const QString& standardError)
{
    const QString text = standardError.trimmed();
    if (text.isEmpty())
        return PlayerError{};
    static const QRegularExpression report(
        QStringLiteral("^(?:\\d+:\\d+: )?(?:execution error: )?(.*?)(?: \\((-?\\d+)\\))?$"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = report.match(text);
    PlayerError error{std::nullopt, match.captured(1)};
    bool isNumber = false;
    const int number = match.captured(2).toInt(&isNumber);
    if (isNumber)
        error.number = number;
    return error;
}
