#include "lyrics/VersionedJsonFile.h"

#include "app/DiagLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

namespace versioned_json_file {

std::optional<QJsonObject> read(const QString& path, int version, const QString& contentKey, const QString& logPrefix)
{
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    file.close();
    const QJsonObject root = document.object();
    if (error.error == QJsonParseError::NoError && document.isObject() && root.value(QStringLiteral("version")) == version
        && root.value(contentKey).isObject())
        return root;
    const QString aside = path + QStringLiteral(".corrupt");
    QFile::remove(aside);
    QFile::rename(path, aside);
    DiagLog::log(logPrefix + QStringLiteral(" unreadable — kept aside as ") + aside);
    return std::nullopt;
}

bool write(const QString& path, const QJsonObject& root, const QString& logPrefix)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    const QByteArray bytes = QJsonDocument(root).toJson();
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    DiagLog::log(logPrefix + QStringLiteral(" could not be written to ") + path);
    return false;
}

}  // namespace versioned_json_file
