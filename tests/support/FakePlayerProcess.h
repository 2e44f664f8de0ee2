#pragma once

#include "QtTestSupport.h"

#include <QDBusConnection>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QMutex>
#include <QThread>
#include <QTimer>

#include <atomic>

// Metadata as MPRIS players send it.
inline QVariantMap trackMetadata(const QString& title, const QString& artist, qint64 lengthMicroseconds)
{
    return {{QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath("/track/1"))},
            {QStringLiteral("xesam:title"), title},
            {QStringLiteral("xesam:artist"), QStringList{artist}},
            {QStringLiteral("mpris:length"), lengthMicroseconds}};
}

// A stand-in MPRIS player owning `busName` on a connection of its own to the session bus. It answers
// on a thread of its own, so that the test thread may block on a query meanwhile.
class FakePlayerProcess : public QDBusVirtualObject {
public:
    explicit FakePlayerProcess(QString busName)
        : m_busName(std::move(busName))
        , m_connectionName(QStringLiteral("fake-player-%1").arg(++counter))
    {
        m_sinceBase.start();
        m_thread.start();
        moveToThread(&m_thread);
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
        m_ready = bus.registerVirtualObject(QStringLiteral("/org/mpris/MediaPlayer2"), this)
                  && bus.registerService(m_busName);
    }
    ~FakePlayerProcess() override
    {
        quit();
        m_thread.quit();
        m_thread.wait();
    }

    bool isReady() const { return m_ready; }
    void setStatus(const QString& status)
    {
        change([&] { m_status = status; });
    }
    void setMetadata(const QVariantMap& metadata)
    {
        change([&] { m_metadata = metadata; });
    }
    void setPosition(qint64 microseconds)
    {
        change([&] { m_basePosition = microseconds; });
    }
    void freezePosition(bool frozen)
    {
        change([&] { m_frozen = frozen; });
    }  // Position holds while playing
    void setPositionStep(qint64 microseconds)
    {
        change([&] { m_step = microseconds; });
    }  // as mpv's with no audio
    void setReplyDelay(int milliseconds)
    {
        change([&] { m_delayMs = milliseconds; });
    }
    void setFailure(const QString& errorName, const QString& message = QString())
    {
        change([&] { m_failure = {errorName, message}; });
    }
    void play(const QString& title, const QString& artist, qint64 lengthMicroseconds, qint64 positionMicroseconds = 0)
    {
        setMetadata(trackMetadata(title, artist, lengthMicroseconds));
        setPosition(positionMicroseconds);
        setStatus(QStringLiteral("Playing"));
    }
    void emitSeeked(qint64 microseconds)
    {
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/mpris/MediaPlayer2"),
                                                         QStringLiteral("org.mpris.MediaPlayer2.Player"), "Seeked");
        QDBusConnection(m_connectionName).send(signal << microseconds);
    }
    // Leaves the bus; the name is released when this returns.
    void quit()
    {
        if (std::exchange(m_ready, false))
            QDBusConnection(m_connectionName).unregisterService(m_busName);
        QDBusConnection::disconnectFromBus(m_connectionName);
    }

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.interface() != u"org.freedesktop.DBus.Properties")
            return false;
        QMutexLocker lock(&m_mutex);
        const QVariantMap properties{{QStringLiteral("PlaybackStatus"), m_status},
                                     {QStringLiteral("Metadata"), m_metadata},
                                     {QStringLiteral("Position"), QVariant::fromValue<qlonglong>(position())},
                                     {QStringLiteral("Rate"), 1.0},
                                     {QStringLiteral("CanSeek"), true}};
        QDBusMessage reply = !m_failure.first.isEmpty() ? message.createErrorReply(m_failure.first, m_failure.second)
                             : message.member() == u"GetAll"
                                 ? message.createReply(properties)
                                 : message.createReply(QVariant::fromValue(
                                     QDBusVariant(properties.value(message.arguments().value(1).toString()))));
        if (m_delayMs == 0)
            QDBusConnection(connection).send(reply);
        else
            QTimer::singleShot(m_delayMs, [bus = connection, reply]() mutable { bus.send(reply); });
        return true;
    }

private:
    static inline std::atomic<int> counter = 0;

    qint64 position() const
    {
        if (m_status != u"Playing" || m_frozen)
            return m_basePosition;
        const qint64 moved = m_sinceBase.nsecsElapsed() / 1000;
        return m_basePosition + (m_step > 0 ? moved - moved % m_step : moved);
    }
    // Position runs on from where it was, under whatever the change sets.
    template <typename F> void change(F&& set)
    {
        QMutexLocker lock(&m_mutex);
        m_basePosition = position();
        m_sinceBase.restart();
        set();
    }

    const QString m_busName;
    const QString m_connectionName;
    bool m_ready = false;
    QMutex m_mutex;
    QString m_status = QStringLiteral("Stopped");
    QVariantMap m_metadata;
    qint64 m_basePosition = 0;  // microseconds
    qint64 m_step = 0;
    QElapsedTimer m_sinceBase;
    bool m_frozen = false;
    int m_delayMs = 0;
    QPair<QString, QString> m_failure;
    QThread m_thread;
};
