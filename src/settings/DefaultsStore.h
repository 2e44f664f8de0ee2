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
    virtual void setValue(const QString& key, const QJsonValue& value) = 0;
    virtual void remove(const QString& key) = 0;

Q_SIGNALS:
    // Another process changed these keys; values this store wrote itself are never reported.
    void changedExternally(const QStringList& keys);
};
