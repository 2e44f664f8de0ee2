#include "app/RendererSwitch.h"

#include "app/DiagLog.h"
#include "app/SingleInstance.h"
#include "settings/AppSettings.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>

RendererSwitch::RendererSwitch(SceneRenderer running, std::optional<QString> glRenderer, QStringList arguments,
                               AppSettings& settings, QObject* parent)
    : QObject(parent)
    , m_running(running)
    , m_glRenderer(std::move(glRenderer))
    , m_arguments(std::move(arguments))
{
    connect(&settings, &AppSettings::styleChanged, this, &RendererSwitch::follow);
}

void RendererSwitch::follow(LyricStyle style)
{
    if (m_restarting)
        return;
    const RendererChoice wanted = chooseRenderer(false, style, m_glRenderer);
    if (wanted.renderer != m_running)
        restart(wanted.reason);
}

// The new copy must find the single-instance name free, so it is given up first, and taken back
// if the new copy cannot be started.
void RendererSwitch::restart(const QString& reason)
{
    DiagLog::log(QStringLiteral("renderer: restarting with ") + reason);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && bus.interface())
        bus.interface()->unregisterService(SingleInstance::busName);
    if (!QProcess::startDetached(QCoreApplication::applicationFilePath(), m_arguments.mid(1))) {
        DiagLog::log(QStringLiteral("renderer: could not start a new copy; the look is drawn as it can be until Zuvik is started again"));
        SingleInstance(bus).claim();
        return;
    }
    m_restarting = true;
    DiagLog::shared().waitUntilWritten();
    QCoreApplication::quit();
}
