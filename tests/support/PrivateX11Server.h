#pragma once

#include <QProcess>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

// An X server of the test's own (Xvfb), with a compositor (picom, xrender back end) so that
// transparent windows look as they do on a desktop. The process's DISPLAY points at it while it
// runs, so programs the test starts (xrandr, xdotool, import) talk to it too.
class PrivateX11Server {
public:
    explicit PrivateX11Server(QSize screen = {1920, 1080});
    ~PrivateX11Server();
    PrivateX11Server(const PrivateX11Server&) = delete;
    PrivateX11Server& operator=(const PrivateX11Server&) = delete;

    bool isRunning() const { return !m_display.isEmpty(); }
    const QString& display() const { return m_display; }

private:
    QProcess m_server;
    QProcess m_compositor;
    QString m_display;
};

// Runs an X client program against the current display to its end; its standard output, or
// nothing when it failed or took longer than `timeoutMs`.
std::optional<QByteArray> runX11Tool(const QString& program, const QStringList& arguments, int timeoutMs = 10000);
