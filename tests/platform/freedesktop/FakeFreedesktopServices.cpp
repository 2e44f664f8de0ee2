#include "FakeFreedesktopServices.h"

#include <QDBusContext>
#include <QDBusMessage>
#include <QMetaObject>

class FakeScreenSaver : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    bool active = false;
    bool inhibitFails = false;
    int replyDelayMs = 0;
    quint32 nextCookie = 7;
    int inhibitCalls = 0;
    QSet<quint32> held;

public Q_SLOTS:
    uint Inhibit(const QString& applicationName, const QString& reason)
    {
        ++inhibitCalls;
        QThread::msleep(ulong(replyDelayMs));
        if (inhibitFails || applicationName.isEmpty() || reason.isEmpty()) {
            sendErrorReply(QDBusError::AccessDenied, QStringLiteral("inhibition refused"));
            return 0;
        }
        held.insert(nextCookie);
        return nextCookie++;
    }
    void UnInhibit(uint cookie) { held.remove(cookie); }
    bool GetActive()
    {
        QThread::msleep(ulong(replyDelayMs));
        return active;
    }

Q_SIGNALS:
    void ActiveChanged(bool active);
};

class FakeLogindSession : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Session")
    Q_PROPERTY(bool LockedHint READ lockedHint)
public:
    explicit FakeLogindSession(QDBusConnection bus)
        : m_bus(std::move(bus))
    {}
    bool locked = false;
    bool lockedHint() const { return locked; }

    void announce()
    {
        // Real logind sends it from the session's own path, not from the "auto" alias.
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1/session/c1"),
                                                         QStringLiteral("org.freedesktop.DBus.Properties"),
                                                         QStringLiteral("PropertiesChanged"));
        signal << QStringLiteral("org.freedesktop.login1.Session")
               << QVariantMap{{QStringLiteral("LockedHint"), locked}} << QStringList();
        m_bus.send(signal);
    }

private:
    QDBusConnection m_bus;
};

FakeFreedesktopServices::FakeFreedesktopServices(const QString& systemBusAddress, const QString& sessionBusAddress)
{
    m_onThread.moveToThread(&m_thread);
    m_thread.start();
    onServiceThread([&] {
        QDBusConnection system = QDBusConnection::connectToBus(systemBusAddress, QStringLiteral("fake-system"));
        QDBusConnection session = QDBusConnection::connectToBus(sessionBusAddress, QStringLiteral("fake-session"));
        m_screenSaver = new FakeScreenSaver;
        m_session = new FakeLogindSession(system);
        QObject::connect(&m_thread, &QThread::finished, m_screenSaver, &QObject::deleteLater);
        QObject::connect(&m_thread, &QThread::finished, m_session, &QObject::deleteLater);
        m_serving = system.registerObject(QStringLiteral("/org/freedesktop/login1/session/auto"), m_session,
                                          QDBusConnection::ExportAllProperties)
                    && system.registerService(QStringLiteral("org.freedesktop.login1"))
                    && session.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), m_screenSaver,
                                              QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals)
                    && session.registerService(QStringLiteral("org.freedesktop.ScreenSaver"));
    });
}

FakeFreedesktopServices::~FakeFreedesktopServices()
{
    onServiceThread([] {
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-system"));
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-session"));
    });
    m_thread.quit();
    m_thread.wait();
}

template <typename F> void FakeFreedesktopServices::onServiceThread(F&& f) const
{
    QMetaObject::invokeMethod(const_cast<QObject*>(&m_onThread), std::forward<F>(f), Qt::BlockingQueuedConnection);
}

void FakeFreedesktopServices::setLockedHint(bool locked, bool announce)
{
    onServiceThread([&] {
        m_session->locked = locked;
        if (announce)
            m_session->announce();
    });
}

void FakeFreedesktopServices::setScreenSaverActive(bool active, bool announce)
{
    onServiceThread([&] {
        m_screenSaver->active = active;
        if (announce)
            Q_EMIT m_screenSaver->ActiveChanged(active);
    });
}

void FakeFreedesktopServices::setInhibitFails(bool fails)
{
    onServiceThread([&] { m_screenSaver->inhibitFails = fails; });
}
void FakeFreedesktopServices::setReplyDelayMs(int delayMs)
{
    onServiceThread([&] { m_screenSaver->replyDelayMs = delayMs; });
}

QSet<quint32> FakeFreedesktopServices::heldCookies() const
{
    QSet<quint32> cookies;
    onServiceThread([&] { cookies = m_screenSaver->held; });
    return cookies;
}

int FakeFreedesktopServices::inhibitCalls() const
{
    int calls = 0;
    onServiceThread([&] { calls = m_screenSaver->inhibitCalls; });
    return calls;
}

#include "FakeFreedesktopServices.moc"
