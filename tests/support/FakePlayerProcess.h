#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QVariantMap>

// Runs one fake_mpris_player on the current session bus under `busName` and steers it. The
// constructor returns once the player owns its name (see isReady()); the destructor ends it.
class FakePlayerProcess {
public:
    explicit FakePlayerProcess(QString busName);
    ~FakePlayerProcess();
    FakePlayerProcess(const FakePlayerProcess&) = delete;
    FakePlayerProcess& operator=(const FakePlayerProcess&) = delete;

    bool isReady() const { return m_ready; }
    const QString& busName() const { return m_busName; }

    // Each call returns once the player has applied it.
    void setStatus(const QString& status);
    void setMetadata(const QVariantMap& metadata);
    void setPosition(qint64 microseconds);
    void freezePosition(bool frozen);  // Position keeps its value while playing
    void setPositionStep(qint64 microseconds);  // Position moves in steps of this while playing
    void emitSeeked(qint64 microseconds);
    void setReplyDelay(int milliseconds);
    void setFailure(const QString& errorName, const QString& message = QString());
    // A playing track in one call: metadata with title, artist list and length in microseconds.
    void play(const QString& title, const QString& artist, qint64 lengthMicroseconds, qint64 positionMicroseconds = 0);

    // Ends the player and waits until it has left the bus.
    void quit();

private:
    void call(const QString& method, const QVariantList& arguments = {});

    const QString m_busName;
    const QString m_connectionName;
    QDBusConnection m_control;
    QProcess m_process;
    bool m_ready = false;
};

// Metadata as MPRIS players send it.
QVariantMap trackMetadata(const QString& title, const QString& artist, qint64 lengthMicroseconds);
