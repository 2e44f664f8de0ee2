#include "platform/freedesktop/SessionLockState.h"

#include "platform/freedesktop/FreedesktopNames.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

#include <memory>

using namespace freedesktop_names;

namespace {

constexpr int startupTimeoutMs = 300;  // start-up waits this long at most for each service

QDBusMessage lockedHintCall()
{
    QDBusMessage call = QDBusMessage::createMethodCall(logindService, logindOwnSessionPath, propertiesInterface,
                                                       QStringLiteral("Get"));
    call << logindSessionInterface << QStringLiteral("LockedHint");
    return call;
}

QDBusMessage screenSaverActiveCall()
{
    return QDBusMessage::createMethodCall(screenSaverService, screenSaverPath, screenSaverInterface,
                                          QStringLiteral("GetActive"));
}

// True only for a reply holding a Boolean true (directly or inside a variant).
bool isTrue(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    QVariant value = reply.arguments().constFirst();
    if (value.canConvert<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value.metaType() == QMetaType::fromType<bool>() && value.toBool();
}

}  // namespace

SessionLockState::SessionLockState(QDBusConnection systemBus, QDBusConnection sessionBus, QObject* parent)
    : LockStateSource(parent)
    , m_systemBus(std::move(systemBus))
    , m_sessionBus(std::move(sessionBus))
{
    // Any session's property change only triggers a re-read, so listening to all paths is enough.
    m_systemBus.connect(logindService, QString(), propertiesInterface, QStringLiteral("PropertiesChanged"), this,
                        SLOT(onAnnouncement()));
    m_sessionBus.connect(screenSaverService, screenSaverPath, screenSaverInterface, QStringLiteral("ActiveChanged"),
                         this, SLOT(onAnnouncement()));
}

bool SessionLockState::readNow()
{
    return isTrue(m_systemBus.call(lockedHintCall(), QDBus::Block, startupTimeoutMs))
           || isTrue(m_sessionBus.call(screenSaverActiveCall(), QDBus::Block, startupTimeoutMs));
}

void SessionLockState::read(std::function<void(bool locked)> answer)
{
    // Both services are asked at once; the answer goes out when the second reply is in.
    struct Pending {
        int outstanding = 2;
        bool locked = false;
        std::function<void(bool)> answer;
    };
    auto pending = std::make_shared<Pending>();
    pending->answer = std::move(answer);
    const auto ask = [this, pending](QDBusConnection& bus, const QDBusMessage& call) {
        auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, busCallTimeoutMs), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [pending](QDBusPendingCallWatcher* w) {
            w->deleteLater();
            pending->locked = pending->locked || isTrue(w->reply());
            if (--pending->outstanding == 0)
                pending->answer(pending->locked);
        });
    };
    ask(m_systemBus, lockedHintCall());
    ask(m_sessionBus, screenSaverActiveCall());
}

void SessionLockState::onAnnouncement() { Q_EMIT mayHaveChanged(); }
