#pragma once

#include <QJsonValue>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

// The user's per-user key-value store of typed values (Boolean, number, string, array of strings).
// A platform keeps it its own way; the settings only need these operations.
class DefaultsStore : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The stored value, or nothing when the key is absent.
    virtual std::optional<QJsonValue> value(const QString& key) const = 0;
    // Each holds in memory at once; false when it did not also reach storage (see problem()).
    virtual bool setValue(const QString& key, const QJsonValue& value) = 0;
    virtual bool remove(const QString& key) = 0;
    // Why the store is not in order, as a person reads it: its storage is there but cannot be read
    // (so it is never written over), or the last change could not be stored. Empty when all is well.
    virtual QString problem() const = 0;

Q_SIGNALS:
    // Another process changed these keys; values this store wrote itself are never reported.
    void changedExternally(const QStringList& keys);
};
