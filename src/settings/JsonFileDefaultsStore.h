#pragma once

#include "settings/DefaultsStore.h"

#include <QFileSystemWatcher>
#include <QJsonObject>
#include <QTimer>

// The defaults store as one JSON object in a file ($XDG_CONFIG_HOME/Orvane/defaults.json).
// Every write replaces the file atomically, so a crash leaves the old or the new file, never a
// torn one. A file that does not parse at start is kept aside as defaults.json.corrupt and the
// store starts empty. Changes made by another process are picked up and reported.
class JsonFileDefaultsStore final : public DefaultsStore {
    Q_OBJECT
public:
    explicit JsonFileDefaultsStore(QString filePath, QObject* parent = nullptr);

    static QString defaultFilePath();

    std::optional<QJsonValue> value(const QString& key) const override;
    void setValue(const QString& key, const QJsonValue& value) override;
    void remove(const QString& key) override;

    const QString& filePath() const { return m_filePath; }

private:
    void loadAtStart();
    void keepCorruptFileAside();
    void save();
    void watch();
    void reloadAfterOutsideChange();

    const QString m_filePath;
    QJsonObject m_values;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;  // coalesces the burst of notifications one replacement of the file causes
};
