#include "settings/JsonFileDefaultsStore.h"

#include "app/DiagLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

namespace {

// Files larger than this are not settings a person wrote; reading them could exhaust memory.
constexpr qint64 maxFileSize = 16 * 1024 * 1024;

enum class ReadOutcome { parsed, missing, unreadable, malformed };

ReadOutcome readObject(const QString& path, QJsonObject& object)
{
    QFile file(path);
    if (!file.exists())
        return ReadOutcome::missing;
    if (!file.open(QIODevice::ReadOnly))
        return ReadOutcome::unreadable;
    if (file.size() > maxFileSize)
        return ReadOutcome::malformed;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return ReadOutcome::malformed;
    object = document.object();
    return ReadOutcome::parsed;
}

QStringList differingKeys(const QJsonObject& before, const QJsonObject& after)
{
    QStringList keys;
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (before.value(it.key()) != it.value())
            keys.append(it.key());
    }
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (!after.contains(it.key()))
            keys.append(it.key());
    }
    return keys;
}

}  // namespace

JsonFileDefaultsStore::JsonFileDefaultsStore(QString filePath, QObject* parent)
    : DefaultsStore(parent)
    , m_filePath(std::move(filePath))
{
    loadAtStart();
    m_settle.setSingleShot(true);
    m_settle.setInterval(50);
    connect(&m_settle, &QTimer::timeout, this, &JsonFileDefaultsStore::reloadAfterOutsideChange);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle, qOverload<>(&QTimer::start));
    watch();
}

QString JsonFileDefaultsStore::defaultFilePath()
{
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || QDir::isRelativePath(configHome))
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return configHome + QStringLiteral("/Orvane/defaults.json");
}

std::optional<QJsonValue> JsonFileDefaultsStore::value(const QString& key) const
{
    const auto it = m_values.constFind(key);
    if (it == m_values.constEnd())
        return std::nullopt;
    return *it;
}

void JsonFileDefaultsStore::setValue(const QString& key, const QJsonValue& value)
{
    m_values.insert(key, value);
    save();
}

void JsonFileDefaultsStore::remove(const QString& key)
{
    m_values.remove(key);
    save();
}

void JsonFileDefaultsStore::loadAtStart()
{
    switch (readObject(m_filePath, m_values)) {
    case ReadOutcome::parsed:
    case ReadOutcome::missing:
        return;
    case ReadOutcome::unreadable:
        DiagLog::log(QStringLiteral("settings: cannot read %1 — using the defaults").arg(m_filePath));
        return;
    case ReadOutcome::malformed:
        keepCorruptFileAside();
        return;
    }
}

void JsonFileDefaultsStore::keepCorruptFileAside()
{
    // Never destroy what the user had: the first free name of .corrupt, .corrupt.2, .corrupt.3, ...
    QString aside = m_filePath + QStringLiteral(".corrupt");
    for (int n = 2; QFile::exists(aside); ++n)
        aside = m_filePath + QStringLiteral(".corrupt.%1").arg(n);
    if (QFile::rename(m_filePath, aside))
        DiagLog::log(QStringLiteral("settings: %1 did not parse — kept aside as %2, using the defaults")
                         .arg(m_filePath, QFileInfo(aside).fileName()));
    else
        DiagLog::log(QStringLiteral("settings: %1 did not parse — using the defaults").arg(m_filePath));
}

void JsonFileDefaultsStore::save()
{
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly)) {
        DiagLog::log(QStringLiteral("settings: cannot write %1: %2").arg(m_filePath, file.errorString()));
        return;
    }
    file.write(QJsonDocument(m_values).toJson(QJsonDocument::Indented));
    if (!file.commit())
        DiagLog::log(QStringLiteral("settings: cannot write %1: %2").arg(m_filePath, file.errorString()));
    watch();  // the replacement is a new file; the old watch went with the old one
}

void JsonFileDefaultsStore::watch()
{
    const QString folder = QFileInfo(m_filePath).absolutePath();
    QDir().mkpath(folder);
    if (!m_watcher.directories().contains(folder))
        m_watcher.addPath(folder);
    if (QFile::exists(m_filePath) && !m_watcher.files().contains(m_filePath))
        m_watcher.addPath(m_filePath);
}

void JsonFileDefaultsStore::reloadAfterOutsideChange()
{
    watch();
    QJsonObject current;
    switch (readObject(m_filePath, current)) {
    case ReadOutcome::parsed:
        break;
    case ReadOutcome::missing:
        current = QJsonObject();  // deleted by hand: back to the defaults
        break;
    case ReadOutcome::unreadable:
    case ReadOutcome::malformed:
        return;  // probably caught mid-write by an editor; the next notification tells
    }
    // Our own writes leave the file equal to what we hold, so they report nothing.
    const QStringList changed = differingKeys(m_values, current);
    if (changed.isEmpty())
        return;
    m_values = current;
    Q_EMIT changedExternally(changed);
}
