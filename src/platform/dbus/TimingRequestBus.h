#pragma once

#include "platform/dbus/RunningCopyCall.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>

#include <functional>

// `zuvik offset …`: the running copy serves the current track's timing offset on the session bus.
namespace timing_request_bus {
inline const QString objectPath = QStringLiteral("/org/orvane/Zuvik/Timing");
inline const QString interfaceName = QStringLiteral("org.orvane.Zuvik.Timing");
}  // namespace timing_request_bus

struct TimingRequest {
    enum class Kind { set, reset, show };
    Kind kind = Kind::show;
    double seconds = 0;  // for `set`
};

struct TimingAnswer {
    bool done = false;
    QString text;  // what the caller prints: the offset in force, or why nothing was done
};

// The running copy's side: each call is answered on the main thread by the handler.
class TimingRequestService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.orvane.Zuvik.Timing")
public:
    using Handler = std::function<TimingAnswer(const TimingRequest&)>;

    explicit TimingRequestService(Handler handler, QDBusConnection bus = QDBusConnection::sessionBus(),
                                  QObject* parent = nullptr);
    ~TimingRequestService() override;

    bool isServing() const { return m_serving; }

public Q_SLOTS:
    Q_SCRIPTABLE QString SetOffset(double seconds);
    Q_SCRIPTABLE QString Reset();
    Q_SCRIPTABLE QString Show();

private:
    QString answer(const TimingRequest& request);

    const Handler m_handler;
    QDBusConnection m_bus;
    bool m_serving = false;
};

// The second invocation's side.
RunningCopyReply requestTiming(const QString& busName, const TimingRequest& request,
                               QDBusConnection bus = QDBusConnection::sessionBus());
