#pragma once

#include <QProcess>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QThread>

#include <optional>

// Xvfb with picom, so that transparent windows look as on a desktop; DISPLAY points at it for child tools too.
class PrivateX11Server {
public:
    explicit PrivateX11Server(QSize screen = {1920, 1080})
    {
        // -displayfd 1: the server picks a free display and prints its number once it accepts clients.
        m_server.start("Xvfb",
                       {"-displayfd", "1", "-screen", "0", QString("%1x%2x24").arg(screen.width()).arg(screen.height()),
                        "-nolisten", "tcp", "-noreset"});
        if (!m_server.waitForStarted(5000))
            return;
        QByteArray number;
        while (!number.contains('\n') && m_server.waitForReadyRead(10000))
            number += m_server.readAllStandardOutput();
        if (number.trimmed().isEmpty())
            return;
        m_display = ":" + QString::fromLatin1(number.trimmed());
        qputenv("DISPLAY", m_display.toLatin1());
        m_compositor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_compositor.start("picom", {"--backend", "xrender", "--no-fading-openclose"});
        m_compositor.waitForStarted(5000);
        QThread::msleep(300);  // until it has taken over the screen
    }
    // Asked to end, so that the server removes its socket: one left behind would take the display
    // number from the next server that picks the first free one (XWayland under weston does).
    ~PrivateX11Server()
    {
        for (QProcess* process : {&m_compositor, &m_server}) {
            process->terminate();
            if (!process->waitForFinished(5000))
                process->kill();
            process->waitForFinished(5000);
        }
    }

    bool isRunning() const { return !m_display.isEmpty(); }

private:
    QProcess m_server;
    QProcess m_compositor;
    QString m_display;
};

// An X client program's standard output, or nothing when it failed or timed out.
inline std::optional<QByteArray> runX11Tool(const QString& program, const QStringList& arguments, int timeoutMs = 10000)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(timeoutMs) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        return std::nullopt;
    return tool.readAllStandardOutput();
}
