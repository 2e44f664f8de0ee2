#include "app/FrameTrace.h"

#include "foundation/DiagLog.h"

std::unique_ptr<FrameTrace> FrameTrace::fromEnvironment()
{
    const QString path = qEnvironmentVariable(environmentVariable);
    if (path.isEmpty())
        return nullptr;
    auto trace = std::make_unique<FrameTrace>(path);
    if (!trace->isOpen()) {
        DiagLog::log(QStringLiteral("frame trace: cannot write ") + path);
        return nullptr;
    }
    return trace;
}

FrameTrace::FrameTrace(const QString& path)
    : m_file(path)
{
    m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
}

QByteArray FrameTrace::line(const QDateTime& instant, double playhead, std::optional<double> wordStart)
{
    const qint64 ms = instant.toMSecsSinceEpoch();
    QByteArray text = QByteArray::number(ms / 1000) + '.' + QByteArray::number(ms % 1000).rightJustified(3, '0');
    text += ' ' + QByteArray::number(playhead, 'f', 4) + ' ';
    text += wordStart ? QByteArray::number(*wordStart, 'f', 3) : QByteArray("-");
    return text + '\n';
}

void FrameTrace::record(const QDateTime& instant, double playhead, std::optional<double> wordStart)
{
    m_file.write(line(instant, playhead, wordStart));
}
