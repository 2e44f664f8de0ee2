#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QMutex>
#include <QSet>
#include <QThread>
#include <QTimer>

#include <atomic>

// ScreenSaver and logind's session object, answered on a thread of their own so the code under test may block.
class FakeFreedesktopServices : public QDBusVirtualObject {
public:
    FakeFreedesktopServices(const QString& systemBusAddress, const QString& sessionBusAddress)
        : m_system(QDBusConnection::connectToBus(systemBusAddress, "fake-system"))
        , m_session(QDBusConnection::connectToBus(sessionBusAddress, "fake-session"))
    {
        m_thread.start();
        moveToThread(&m_thread);
        m_serving = m_system.registerVirtualObject("/org/freedesktop/login1/session/auto", this)
                    && m_system.registerService("org.freedesktop.login1")
                    && m_session.registerVirtualObject("/org/freedesktop/ScreenSaver", this)
                    && m_session.registerService("org.freedesktop.ScreenSaver");
    }
    ~FakeFreedesktopServices() override
    {
        QDBusConnection::disconnectFromBus("fake-system");
        QDBusConnection::disconnectFromBus("fake-session");
        m_thread.quit();
        m_thread.wait();
    }

    bool isServing() const { return m_serving; }
    void setLockedHint(bool locked, bool announce)
    {
        m_locked = locked;
        // Real logind sends it from the session's own path, not from the "auto" alias.
        if (announce)
            m_system.send(QDBusMessage::createSignal("/org/freedesktop/login1/session/c1",
                                                     "org.freedesktop.DBus.Properties", "PropertiesChanged")
                          << "org.freedesktop.login1.Session" << QVariantMap{{"LockedHint", locked}} << QStringList());
    }
    void setScreenSaverActive(bool active, bool announce)
    {
        m_active = active;
        if (announce)
            m_session.send(QDBusMessage::createSignal("/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver",
                                                      "ActiveChanged")
                           << active);
    }
    void setInhibitFails(bool fails) { m_inhibitFails = fails; }
    void setReplyDelayMs(int delayMs) { m_delayMs = delayMs; }
    // Cookies handed out by Inhibit and not yet given back with UnInhibit.
    QSet<quint32> heldCookies() const
    {
        QMutexLocker lock(&m_mutex);
        return m_held;
    }
    int inhibitCalls() const { return m_inhibitCalls; }

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& call, const QDBusConnection& bus) override
    {
        QMutexLocker lock(&m_mutex);
        const QString method = call.interface() + u'.' + call.member() + u'(' + call.signature() + u')';
        const QVariantList args = call.arguments();
        const bool inhibit = method == u"org.freedesktop.ScreenSaver.Inhibit(ss)";
        m_inhibitCalls += inhibit;
        QDBusMessage reply = call.createReply();
        if (method == u"org.freedesktop.DBus.Properties.Get(ss)"
            && args == QVariantList{"org.freedesktop.login1.Session", "LockedHint"})
            reply = call.createReply(QVariant::fromValue(QDBusVariant(m_locked.load())));
        else if (method == u"org.freedesktop.ScreenSaver.GetActive()")
            reply = call.createReply(m_active.load());
        else if (method == u"org.freedesktop.ScreenSaver.UnInhibit(u)")
            m_held.remove(args[0].toUInt());
        else if (!inhibit)
            return false;
        else if (m_inhibitFails || args[0].toString().isEmpty() || args[1].toString().isEmpty())
            reply = call.createErrorReply(QDBusError::AccessDenied, "inhibition refused");
        else
            reply = call.createReply(*m_held.insert(m_nextCookie++));
        QTimer::singleShot(m_delayMs.load(), [bus, reply]() mutable { bus.send(reply); });
        return true;
    }

private:
    QDBusConnection m_system;
    QDBusConnection m_session;
    QThread m_thread;
    bool m_serving = false;
    mutable QMutex m_mutex;
    std::atomic<bool> m_locked = false, m_active = false, m_inhibitFails = false;
    std::atomic<int> m_delayMs = 0, m_inhibitCalls = 0;
    quint32 m_nextCookie = 7;
    QSet<quint32> m_held;
};
