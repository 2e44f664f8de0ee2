#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
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
    return {{"mpris:trackid", QVariant::fromValue(QDBusObjectPath("/track/1"))},
            {"xesam:title", title},
            {"xesam:artist", QStringList{artist}},
            {"mpris:length", lengthMicroseconds}};
}

// An MPRIS player on the session bus, answering on its own thread so the test thread may block on a query.
class FakeMprisPlayer : public QDBusVirtualObject {
public:
    explicit FakeMprisPlayer(QString busName)
        : m_busName(std::move(busName))
        , m_connectionName(QStringLiteral("fake-player-%1").arg(++counter))
    {
        m_sinceBase.start();
        m_thread.start();
        moveToThread(&m_thread);
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
        m_ready = bus.registerVirtualObject("/org/mpris/MediaPlayer2", this) && bus.registerService(m_busName);
    }
    ~FakeMprisPlayer() override
    {
        quit();
        m_thread.quit();
        m_thread.wait();
    }

    bool isReady() const { return m_ready; }
    void setStatus(const QString& status) { change(m_status, status); }
    void setMetadata(const QVariantMap& metadata) { change(m_metadata, metadata); }
    void setPosition(qint64 microseconds) { change(m_basePosition, microseconds); }
    void freezePosition(bool frozen) { change(m_frozen, frozen); }  // Position holds while playing
    void setPositionStep(qint64 microseconds) { change(m_step, microseconds); }  // as mpv's with no audio
    void setReplyDelay(int milliseconds) { change(m_delayMs, milliseconds); }
    void setFailure(const QString& errorName, const QString& message) { change(m_failure, {errorName, message}); }
    void play(const QString& title, const QString& artist, qint64 lengthMicroseconds, qint64 positionMicroseconds = 0)
    {
        setMetadata(trackMetadata(title, artist, lengthMicroseconds));
        setPosition(positionMicroseconds);
        setStatus("Playing");
    }
    void emitSeeked(qint64 microseconds)
    {
        QDBusConnection(m_connectionName)
            .send(QDBusMessage::createSignal("/org/mpris/MediaPlayer2", "org.mpris.MediaPlayer2.Player", "Seeked")
                  << microseconds);
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
        const QVariantMap properties{{"PlaybackStatus", m_status},
                                     {"Metadata", m_metadata},
                                     {"Position", QVariant::fromValue<qlonglong>(position())},
                                     {"Rate", 1.0},
                                     {"CanSeek", true}};
        const QDBusMessage reply = !m_failure.first.isEmpty()
                                       ? message.createErrorReply(m_failure.first, m_failure.second)
                                   : message.member() == u"GetAll"
                                       ? message.createReply(properties)
                                       : message.createReply(QVariant::fromValue(
                                           QDBusVariant(properties.value(message.arguments().value(1).toString()))));
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
    template <typename T> void change(T& field, const T& value)
    {
        QMutexLocker lock(&m_mutex);
        m_basePosition = position();
        m_sinceBase.restart();
        field = value;
    }

    const QString m_busName;
    const QString m_connectionName;
    bool m_ready = false;
    QMutex m_mutex;
    QString m_status = "Stopped";
    QVariantMap m_metadata;
    qint64 m_basePosition = 0;  // microseconds
    qint64 m_step = 0;
    QElapsedTimer m_sinceBase;
    bool m_frozen = false;
    int m_delayMs = 0;
    QPair<QString, QString> m_failure;
    QThread m_thread;
};
