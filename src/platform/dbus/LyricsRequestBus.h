#pragma once

#include "platform/dbus/RunningCopyCall.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>

#include <functional>

// `zuvik lyrics --reject`: the running copy sends the current lyrics' candidate away on the session
// bus and answers once it has looked for another.
namespace lyrics_request_bus {
inline const QString objectPath = QStringLiteral("/org/orvane/Zuvik/Lyrics");
inline const QString interfaceName = QStringLiteral("org.orvane.Zuvik.Lyrics");
// A retry asks the service up to six times, each bounded by its own transfer timeout.
inline constexpr int rejectTimeoutMs = 100'000;
}  // namespace lyrics_request_bus

// The running copy's side: the handler runs on the main thread and calls `answer` once, at once
// or later; the caller's reply waits for it.
class LyricsRequestService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.orvane.Zuvik.Lyrics")
public:
    using Answer = std::function<void(bool done, const QString& text)>;
    using Handler = std::function<void(Answer answer)>;

    explicit LyricsRequestService(Handler handler, QDBusConnection bus = QDBusConnection::sessionBus(),
                                  QObject* parent = nullptr);
    ~LyricsRequestService() override;

    bool isServing() const { return m_serving; }

public Q_SLOTS:
    Q_SCRIPTABLE QString Reject();

private:
    const Handler m_handler;
    QDBusConnection m_bus;
    bool m_serving = false;
};

// The second invocation's side.
RunningCopyReply requestRejection(const QString& busName, QDBusConnection bus = QDBusConnection::sessionBus());
