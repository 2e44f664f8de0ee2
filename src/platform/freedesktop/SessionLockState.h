#pragma once

#include "app/LockStateSource.h"

#include <QDBusConnection>

// The session counts as locked when logind's LockedHint for the session is true (system bus) or
// the session's org.freedesktop.ScreenSaver says it is active. A service that is missing or
// answers with an error counts as "not locked".
class SessionLockState final : public LockStateSource {
    Q_OBJECT
public:
    explicit SessionLockState(QDBusConnection systemBus = QDBusConnection::systemBus(),
                              QDBusConnection sessionBus = QDBusConnection::sessionBus(), QObject* parent = nullptr);

    bool readNow() override;
    void read(std::function<void(bool locked)> answer) override;

private Q_SLOTS:
    void onAnnouncement();

private:
    QDBusConnection m_systemBus;
    QDBusConnection m_sessionBus;
};
