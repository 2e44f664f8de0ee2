#pragma once

#include "EventLoopWait.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <optional>

// A headless Wayland compositor of the test's own: sway (with a layer shell) or weston (without,
// but with XWayland). Compositors refuse to run as root, as tests do, so it runs as an
// unprivileged user, made when missing, in a runtime folder of its own; the test's clients reach
// it by the socket's full path.
class HeadlessCompositor {
public:
    enum class Kind { sway, weston };
    static constexpr const char* user = "zuvik-compositor";

    explicit HeadlessCompositor(Kind kind)
        : m_kind(kind)
    {
        if (!m_runtime.isValid() || !ownedByCompositorUser(m_runtime.path()))
            return;
        QProcessEnvironment environment;
        environment.insert("PATH", "/usr/bin:/bin");
        environment.insert("XDG_RUNTIME_DIR", m_runtime.path());
        environment.insert("WLR_BACKENDS", "headless");
        environment.insert("WLR_RENDERER", "pixman");
        environment.insert("WLR_LIBINPUT_NO_DEVICES", "1");
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        const QString config = m_runtime.filePath("sway.conf");
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly)
            || !file.write("xwayland disable\noutput * bg #101418 solid_color\ndefault_border none\n"))
            return;
        file.close();
        if (kind == Kind::sway) {
            m_process.start("setpriv", asCompositorUser({"sway", "-c", config}));
        } else {
            // XWayland takes the first display number without a lock, and fails on a socket file an
            // X server that was killed left there: it gets a socket folder of its own. Clients
            // reach it by the abstract socket of the same name.
            const QStringList weston = asCompositorUser(
                {"weston", "--backend=headless-backend.so", "--xwayland", "--socket=wayland-0", "--idle-time=0"});
            const QStringList ownSockets{
                "--mount", "--propagation",
                "private", "sh",
                "-c",      "mount -t tmpfs -o mode=1777 tmpfs /tmp/.X11-unix && exec setpriv \"$@\"",
                "sh"};
            m_process.start("unshare", ownSockets + weston);
        }
        m_running = m_process.waitForStarted(5000) && waitFor([this] { return started(); }, std::chrono::seconds(20));
    }
    ~HeadlessCompositor()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }

    bool isRunning() const { return m_running; }
    // For WAYLAND_DISPLAY.
    QString socket() const { return listening("wayland-?"); }
    // weston's XWayland (":N"), which lets the test's user in.
    QString x11Display() const { return m_x11Display; }

    // As a user's client of this compositor: no X display but XWayland's, no platform chosen for Qt.
    QProcessEnvironment clientEnvironment(QProcessEnvironment environment) const
    {
        environment.insert("WAYLAND_DISPLAY", socket());
        environment.remove("QT_QPA_PLATFORM");
        environment.remove("DISPLAY");
        if (!m_x11Display.isEmpty())
            environment.insert("DISPLAY", m_x11Display);
        return environment;
    }

    // A client tool's standard output (swaymsg, grim), or nothing when it failed.
    std::optional<QByteArray> run(const QString& program, const QStringList& arguments) const
    {
        QProcess tool;
        QProcessEnvironment environment = clientEnvironment(QProcessEnvironment::systemEnvironment());
        if (m_kind == Kind::sway)
            environment.insert("SWAYSOCK", swaySocket());
        tool.setProcessEnvironment(environment);
        tool.start(program, arguments);
        if (!tool.waitForFinished(20000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
            return std::nullopt;
        return tool.readAllStandardOutput();
    }

private:
    static QStringList asCompositorUser(const QStringList& command)
    {
        if (geteuid() != 0)
            return QStringList{"--"} + command;
        return QStringList{QString("--reuid=") + user, QString("--regid=") + user, "--clear-groups", "--"} + command;
    }

    static bool ownedByCompositorUser(const QString& folder)
    {
        if (geteuid() != 0)
            return true;
        if (!getpwnam(user))
            QProcess::execute("useradd", {"--system", "--no-create-home", "--shell", "/usr/sbin/nologin", user});
        const passwd* account = getpwnam(user);
        return account && chown(QFile::encodeName(folder).constData(), account->pw_uid, account->pw_gid) == 0;
    }

    QString swaySocket() const { return listening("sway-ipc.*.sock"); }

    QString listening(const QString& pattern) const
    {
        const QStringList found = QDir(m_runtime.path()).entryList({pattern}, QDir::System);
        return found.isEmpty() ? QString() : m_runtime.filePath(found.first());
    }

    bool started()
    {
        m_log += m_process.readAll();
        if (m_kind == Kind::sway)
            return !socket().isEmpty() && !swaySocket().isEmpty();
        // XWayland starts on the first client; until then weston names the display it listens on.
        const auto found = QRegularExpression(":(\\d+)").match(m_log.mid(m_log.indexOf("xserver listening")));
        if (!m_log.contains("xserver listening") || !found.hasMatch())
            return false;
        m_x11Display = ":" + found.captured(1);
        // Its X server lets in only the compositor's user until told otherwise.
        QProcess allow;
        QProcessEnvironment environment;
        environment.insert("DISPLAY", m_x11Display);
        allow.setProcessEnvironment(environment);
        allow.start("setpriv", asCompositorUser({"xhost", QString("+si:localuser:") + getpwuid(geteuid())->pw_name}));
        return allow.waitForFinished(20000) && allow.exitCode() == 0;
    }

    Kind m_kind;
    QTemporaryDir m_runtime;
    QProcess m_process;
    QString m_log;
    QString m_x11Display;
    bool m_running = false;
};
