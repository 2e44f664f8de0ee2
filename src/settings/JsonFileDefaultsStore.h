#pragma once

#include "settings/DefaultsStore.h"

#include <QFileSystemWatcher>
#include <QJsonObject>
#include <QTimer>

// The defaults store as one JSON object in a file ($XDG_CONFIG_HOME/Orvane/defaults.json).
// Every write replaces the file atomically, so a crash or a full disk leaves the old or the new
// file, never a torn one; a failed write is logged and reported. A file that does not parse at
// start is set aside (setAsideCorrupt) and the store starts empty; one that is there but cannot be
// read (permissions, a FIFO, a folder) is logged and never written over. Changes made by another
// process are picked up and reported.
class JsonFileDefaultsStore final : public DefaultsStore {
    Q_OBJECT
public:
    explicit JsonFileDefaultsStore(QString filePath, QObject* parent = nullptr);

    std::optional<QJsonValue> value(const QString& key) const override;
    bool setValue(const QString& key, const QJsonValue& value) override;
    bool remove(const QString& key) override;
    QString problem() const override { return m_problem; }

    const QString& filePath() const { return m_filePath; }

private:
    void loadAtStart();
    void keepCorruptFileAside();
    bool save();
    void watch();
    void reloadAfterOutsideChange();

    const QString m_filePath;
    QJsonObject m_values;
    bool m_unreadable = false;  // the file at start could not be read: it is not written over
    QString m_problem;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;  // coalesces the burst of notifications one replacement of the file causes
};
