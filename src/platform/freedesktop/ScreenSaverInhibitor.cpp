#include "platform/freedesktop/ScreenSaverInhibitor.h"

#include "platform/freedesktop/FreedesktopNames.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

using namespace freedesktop_names;

ScreenSaverInhibitor::ScreenSaverInhibitor(QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{}

void ScreenSaverInhibitor::hold(const QString& reason, std::function<void(const HoldResult&)> answer)
{
    QDBusMessage call = QDBusMessage::createMethodCall(screenSaverService, screenSaverPath, screenSaverInterface,
                                                       QStringLiteral("Inhibit"));
    call << QStringLiteral("Zuvik") << reason;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, busCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [answer = std::move(answer)](QDBusPendingCallWatcher* w) {
                const QDBusPendingReply<quint32> reply = *w;
                w->deleteLater();
                HoldResult result;
                if (reply.isError()) {
                    result.errorCode = qint32(reply.error().type());
                    result.errorMessage = reply.error().message();
                } else {
                    result.assertionId = reply.value();
                }
                answer(result);
            });
}

void ScreenSaverInhibitor::release(quint32 assertionId)
{
    QDBusMessage call = QDBusMessage::createMethodCall(screenSaverService, screenSaverPath, screenSaverInterface,
                                                       QStringLiteral("UnInhibit"));
    call << assertionId;
    m_bus.asyncCall(call, busCallTimeoutMs);  // the outcome is not examined
}
