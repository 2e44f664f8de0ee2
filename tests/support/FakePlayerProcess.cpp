#include "FakePlayerProcess.h"

#include "QtTestSupport.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include <atomic>

namespace {

QString nextConnectionName()
{
    static std::atomic<int> counter = 0;
    return QStringLiteral("fake-player-control-%1").arg(++counter);
}

bool isOnBus(const QDBusConnection& connection, const QString& name)
{
    return connection.interface() && connection.interface()->isServiceRegistered(name).value();
}

}  // namespace

QVariantMap trackMetadata(const QString& title, const QString& artist, qint64 lengthMicroseconds)
{
    return {{QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath("/track/1"))},
            {QStringLiteral("xesam:title"), title},
            {QStringLiteral("xesam:artist"), QStringList{artist}},
            {QStringLiteral("mpris:length"), lengthMicroseconds}};
}

FakePlayerProcess::FakePlayerProcess(QString busName)
    : m_busName(std::move(busName))
    , m_connectionName(nextConnectionName())
    , m_control(QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName))
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(ZUVIK_FAKE_MPRIS_PLAYER), {m_busName});
    m_ready = m_control.isConnected()
        && waitUntil([this] { return isOnBus(m_control, m_busName) || m_process.state() == QProcess::NotRunning; })
        && isOnBus(m_control, m_busName);
}

FakePlayerProcess::~FakePlayerProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    QDBusConnection::disconnectFromBus(m_connectionName);
}

void FakePlayerProcess::call(const QString& method, const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(m_busName, QStringLiteral("/control"),
                                                          QStringLiteral("org.zuvik.FakePlayer"), method);
    message.setArguments(arguments);
    // Generous: the player may be told to answer its MPRIS calls slowly, and the machine may be busy.
    m_control.call(message, QDBus::Block, 30000);
}

void FakePlayerProcess::setStatus(const QString& status) { call(QStringLiteral("SetStatus"), {status}); }
void FakePlayerProcess::setMetadata(const QVariantMap& metadata) { call(QStringLiteral("SetMetadata"), {metadata}); }
void FakePlayerProcess::setPosition(qint64 microseconds) { call(QStringLiteral("SetPosition"), {microseconds}); }
void FakePlayerProcess::freezePosition(bool frozen) { call(QStringLiteral("FreezePosition"), {frozen}); }
void FakePlayerProcess::setPositionStep(qint64 microseconds) { call(QStringLiteral("SetPositionStep"), {microseconds}); }
void FakePlayerProcess::emitSeeked(qint64 microseconds) { call(QStringLiteral("EmitSeeked"), {microseconds}); }
void FakePlayerProcess::setReplyDelay(int milliseconds) { call(QStringLiteral("SetReplyDelay"), {milliseconds}); }

void FakePlayerProcess::setFailure(const QString& errorName, const QString& message)
{
    call(QStringLiteral("SetFailure"), {errorName, message});
}

void FakePlayerProcess::play(const QString& title, const QString& artist, qint64 lengthMicroseconds,
                             qint64 positionMicroseconds)
{
    setMetadata(trackMetadata(title, artist, lengthMicroseconds));
    setPosition(positionMicroseconds);
    setStatus(QStringLiteral("Playing"));
}

void FakePlayerProcess::quit()
{
    call(QStringLiteral("Quit"));
    m_process.waitForFinished(15000);
    waitUntil([this] { return !isOnBus(m_control, m_busName); });
}
