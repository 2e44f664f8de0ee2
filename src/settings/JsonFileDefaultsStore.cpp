#include "settings/JsonFileDefaultsStore.h"

#include "foundation/DiagLog.h"
#include "foundation/AtomicFileWrite.h"
#include "foundation/CorruptFile.h"
#include "foundation/RegularFileRead.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

namespace {

// Files larger than this are not settings a person wrote; reading them could exhaust memory.
constexpr qint64 maxFileSize = 16 * 1024 * 1024;

enum class ReadOutcome { parsed, missing, unreadable, malformed };

// `why` is set for an unreadable file: the system's reason, or that it is not a regular file.
ReadOutcome readObject(const QString& path, QJsonObject& object, QString& why)
{
    const FileRead file = readRegularFile(path, maxFileSize);
    switch (file.status) {
    case FileRead::Status::missing:
        return ReadOutcome::missing;
    case FileRead::Status::notRegular:
    case FileRead::Status::unreadable:
        why = file.error;
        return ReadOutcome::unreadable;
    case FileRead::Status::tooLarge:
        return ReadOutcome::malformed;
    case FileRead::Status::read:
        break;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.bytes, &error);
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

std::optional<QJsonValue> JsonFileDefaultsStore::value(const QString& key) const
{
    const auto it = m_values.constFind(key);
    if (it == m_values.constEnd())
        return std::nullopt;
    return *it;
}

bool JsonFileDefaultsStore::setValue(const QString& key, const QJsonValue& value)
{
    m_values.insert(key, value);
    return save();
}

bool JsonFileDefaultsStore::remove(const QString& key)
{
    m_values.remove(key);
    return save();
}

void JsonFileDefaultsStore::loadAtStart()
{
    QString why;
    switch (readObject(m_filePath, m_values, why)) {
    case ReadOutcome::parsed:
    case ReadOutcome::missing:
        return;
    case ReadOutcome::unreadable:
        // Not an empty file: it may hold every setting the user made, so it is never replaced.
        m_unreadable = true;
        m_problem = QStringLiteral("cannot read %1: %2").arg(m_filePath, why);
        DiagLog::log(QStringLiteral("settings: %1 — left as it is, using the defaults").arg(m_problem));
        return;
    case ReadOutcome::malformed:
        keepCorruptFileAside();
        return;
    }
}

void JsonFileDefaultsStore::keepCorruptFileAside()
{
    if (const std::optional<QString> aside = setAsideCorrupt(m_filePath)) {
        DiagLog::log(QStringLiteral("settings: %1 did not parse — kept aside as %2, using the defaults")
                         .arg(m_filePath, QFileInfo(*aside).fileName()));
        return;
    }
    m_unreadable = true;  // not moved, so not to be written over either
    m_problem = QStringLiteral("cannot keep %1 aside").arg(m_filePath);
    DiagLog::log(QStringLiteral("settings: %1 did not parse and %2 — using the defaults").arg(m_filePath, m_problem));
}

bool JsonFileDefaultsStore::save()
{
    if (m_unreadable) {
        DiagLog::log(QStringLiteral("settings: not saved — ") + m_problem);
        return false;
    }
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    const WriteResult result = writeFileAtomically(m_filePath, QJsonDocument(m_values).toJson(QJsonDocument::Indented));
    watch();  // the replacement is a new file; the old watch went with the old one
    if (!result.written) {
        m_problem = QStringLiteral("cannot write %1: %2").arg(m_filePath, result.error);
        DiagLog::log(QStringLiteral("settings: ") + m_problem);
        return false;
    }
    m_problem.clear();
    return true;
}

void JsonFileDefaultsStore::watch()
{
    const QString folder = QFileInfo(m_filePath).absolutePath();
    QDir().mkpath(folder);
    if (!m_watcher.directories().contains(folder))
        m_watcher.addPath(folder);
    // An unreadable file cannot be watched (inotify needs read access); the folder's watch still
    // sees it replaced.
    if (!m_unreadable && QFile::exists(m_filePath) && !m_watcher.files().contains(m_filePath))
        m_watcher.addPath(m_filePath);
}

void JsonFileDefaultsStore::reloadAfterOutsideChange()
{
    watch();
    QJsonObject current;
    QString why;
    switch (readObject(m_filePath, current, why)) {
    case ReadOutcome::parsed:
        break;
    case ReadOutcome::missing:
        current = QJsonObject();  // deleted by hand: back to the defaults
        break;
    case ReadOutcome::unreadable:
    case ReadOutcome::malformed:
        return;  // probably caught mid-write by an editor; the next notification tells
    }
    if (m_unreadable) {  // the user mended or removed the file: it is ours to write again
        m_unreadable = false;
        m_problem.clear();
    }
    // Our own writes leave the file equal to what we hold, so they report nothing.
    const QStringList changed = differingKeys(m_values, current);
    if (changed.isEmpty())
        return;
    m_values = current;
    Q_EMIT changedExternally(changed);
}
