#pragma once

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <variant>

// The MPRIS players' names on the bus for each poll, without listing every name on the bus each
// time: while players are known, their coming and going is watched, and the bus is listed afresh
// only now and then, in case a change was missed. With no player known it is listed on every
// poll, so that a player that has just started is never waited for. Lives on the thread whose
// event loop delivers the watcher's signals (the query thread), between polls.
class MprisBusNames : public QObject {
public:
    static constexpr int pollsBetweenListings = 20;

    explicit MprisBusNames(const QDBusConnection& bus, QObject* parent = nullptr);

    // The MPRIS players' bus names, sorted.
    std::variant<QStringList, QDBusError> names(int timeoutMs);

private:
    void ownerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);

    QDBusConnection m_bus;
    QDBusServiceWatcher m_watcher;
    QSet<QString> m_names;
    int m_pollsSinceListing = 0;
};
