#include "lyrics/VersionedJsonFile.h"

#include "foundation/DiagLog.h"
#include "foundation/CorruptFile.h"
#include "foundation/RegularFileRead.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>

namespace versioned_json_file {

ReadResult read(const QString& path, int version, const QString& contentKey, const QString& logPrefix)
{
    const FileRead file = readRegularFile(path, maxFileBytes);
    switch (file.status) {
    case FileRead::Status::missing:
        return {};
    case FileRead::Status::notRegular:
    case FileRead::Status::unreadable: {
        const QString unusable = QStringLiteral("cannot read %1: %2").arg(path, file.error);
        DiagLog::log(logPrefix + QStringLiteral(" left as it is — ") + unusable);
        return {std::nullopt, unusable};
    }
    case FileRead::Status::tooLarge:
    case FileRead::Status::read:
        break;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.bytes, &error);
    const QJsonObject root = document.object();
    if (file.status == FileRead::Status::read && error.error == QJsonParseError::NoError && document.isObject()
        && root.value(QStringLiteral("version")) == version && root.value(contentKey).isObject())
        return {root, {}};
    if (const std::optional<QString> aside = setAsideCorrupt(path))
        DiagLog::log(logPrefix + QStringLiteral(" unreadable — kept aside as ") + *aside);
    else {
        // Not moved, so not to be written over either.
        const QString unusable = QStringLiteral("cannot keep %1 aside").arg(path);
        DiagLog::log(logPrefix + QStringLiteral(" unreadable and left as it is — ") + unusable);
        return {std::nullopt, unusable};
    }
    return {};
}

WriteResult write(const QString& path, const QJsonObject& root)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    WriteResult result = writeFileAtomically(path, QJsonDocument(root).toJson());
    if (!result.written)
        result.error = QStringLiteral("cannot write %1: %2").arg(path, result.error);
    return result;
}

}  // namespace versioned_json_file
