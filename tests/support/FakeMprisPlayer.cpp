// A stand-in MPRIS player for tests: owns the bus name given on the command line and answers
// org.mpris.MediaPlayer2.Player's properties from a state that the test sets through the
// org.zuvik.FakePlayer interface on /control (status, metadata, position, a frozen
// position, one that moves in steps, Seeked signals, slow answers and error answers).
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

namespace {

const QString playerPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString playerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

class FakePlayer : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.path() == u"/control")
            return control(message, connection);
        if (message.interface() != u"org.freedesktop.DBus.Properties")
            return false;
        if (!failName.isEmpty())
            return answer(message.createErrorReply(failName, failMessage), connection);
        const QVariantMap properties = playerProperties();
        if (message.member() == u"GetAll")
            return answer(message.createReply(properties), connection);
        if (message.member() == u"Get") {
            const QString name = message.arguments().value(1).toString();
            return answer(message.createReply(QVariant::fromValue(QDBusVariant(properties.value(name)))), connection);
        }
        return false;
    }

private:
    bool answer(const QDBusMessage& reply, const QDBusConnection& connection)
    {
        QDBusConnection bus(connection);
        if (delayMs == 0)
            bus.send(reply);
        else
            QTimer::singleShot(delayMs, [bus, reply]() mutable { bus.send(reply); });
        return true;
    }

    bool control(const QDBusMessage& message, const QDBusConnection& connection)
    {
        const QList<QVariant> args = message.arguments();
        const QString member = message.member();
        if (member == u"SetStatus") {
            rebase();
            status = args.value(0).toString();
        } else if (member == u"SetMetadata") {
            metadata = qdbus_cast<QVariantMap>(args.value(0).value<QDBusArgument>());
        } else if (member == u"SetPosition") {
            basePosition = args.value(0).toLongLong();
            sinceBase.restart();
        } else if (member == u"SetPositionStep") {
            rebase();
            stepMicroseconds = args.value(0).toLongLong();
        } else if (member == u"FreezePosition") {
            rebase();
            frozen = args.value(0).toBool();
        } else if (member == u"SetReplyDelay") {
            delayMs = args.value(0).toInt();
        } else if (member == u"SetFailure") {
            failName = args.value(0).toString();
            failMessage = args.value(1).toString();
        } else if (member == u"EmitSeeked") {
            QDBusMessage signal = QDBusMessage::createSignal(playerPath, playerInterface, QStringLiteral("Seeked"));
            signal << args.value(0).toLongLong();
            QDBusConnection(connection).send(signal);
        } else if (member == u"Quit") {
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        } else {
            return false;
        }
        QDBusConnection(connection).send(message.createReply());
        return true;
    }

    qint64 position() const
    {
        if (status != u"Playing" || frozen)
            return basePosition;
        const qint64 moved = sinceBase.nsecsElapsed() / 1000;
        return basePosition + (stepMicroseconds > 0 ? moved - moved % stepMicroseconds : moved);
    }

    void rebase()
    {
        basePosition = position();
        sinceBase.restart();
    }

    QVariantMap playerProperties() const
    {
        return {{QStringLiteral("PlaybackStatus"), status},
                {QStringLiteral("Metadata"), metadata},
                {QStringLiteral("Position"), QVariant::fromValue<qlonglong>(position())},
                {QStringLiteral("Rate"), 1.0},
                {QStringLiteral("CanSeek"), true}};
    }

public:
    QString status = QStringLiteral("Stopped");
    QVariantMap metadata;
    qint64 basePosition = 0;  // microseconds
    qint64 stepMicroseconds = 0;  // the position moves in steps of this, as mpv's does with no audio device
    QElapsedTimer sinceBase;
    bool frozen = false;
    int delayMs = 0;
    QString failName;
    QString failMessage;
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: fake_mpris_player BUS_NAME\n", stderr);
        return 2;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    FakePlayer player;
    player.sinceBase.start();
    // The objects exist before the name does, so a test that sees the name can call at once.
    if (!bus.registerVirtualObject(playerPath, &player) || !bus.registerVirtualObject(QStringLiteral("/control"), &player)
        || !bus.registerService(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "fake_mpris_player: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    return QCoreApplication::exec();
}
