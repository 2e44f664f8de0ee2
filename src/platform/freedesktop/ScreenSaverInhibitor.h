#pragma once

#include "app/DisplaySleepInhibitor.h"

#include <QDBusConnection>
#include <QObject>

// Keeps the display awake through the session bus's org.freedesktop.ScreenSaver: Inhibit gives a
// cookie that stands for the assertion, UnInhibit releases it. Desktops drop the inhibition by
// themselves when the process (its bus connection) goes away.
class ScreenSaverInhibitor final : public QObject, public DisplaySleepInhibitor {
    Q_OBJECT
public:
    explicit ScreenSaverInhibitor(QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);

    void hold(const QString& reason, std::function<void(const HoldResult&)> answer) override;
    void release(quint32 assertionId) override;

private:
    QDBusConnection m_bus;
};
