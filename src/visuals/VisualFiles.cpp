#include "visuals/VisualFiles.h"

#include "foundation/AtomicFileWrite.h"
#include "foundation/RegularFileRead.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

std::optional<QHash<QString, QString>> readMemoFile(const QString& path)
{
    const FileRead file = readRegularFile(path, memoFileSizeCap);
    if (file.status != FileRead::Status::read)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(file.bytes);
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    QHash<QString, QString> memo;
    memo.reserve(object.size());
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (!it.value().isString())
            return std::nullopt;
        memo.insert(it.key(), it.value().toString());
    }
    return memo;
}

QHash<QString, QString> readSymbolIndex(const QString& path, const std::function<bool(const QString&)>& symbolExists)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (!document.isObject())
        return {};
    const QJsonObject object = document.object();
    QList<std::pair<QString, QStringList>> entries;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (!it.value().isArray())
            return {};
        QStringList terms;
        for (const QJsonValue& term : it.value().toArray()) {
            if (!term.isString())
                return {};
            terms.append(term.toString());
        }
        entries.append({it.key(), terms});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return a.first.size() < b.first.size(); });
    QHash<QString, QString> index;
    for (const auto& [name, terms] : std::as_const(entries)) {
        // Localised and right-to-left variants of a symbol carry the same terms as the symbol.
        if (name.contains(u".ar") || name.contains(u".hi") || name.contains(u"rtl") || !symbolExists(name))
            continue;
        for (const QString& term : terms) {
            const QString lower = term.toLower();
            if (!index.contains(lower))
                index.insert(lower, name);
        }
    }
    return index;
}

std::optional<QString> writeMemoFile(const QString& path, const QHash<QString, QString>& memo)
{
    QJsonObject object;
    for (const auto& [key, value] : memo.asKeyValueRange())
        object.insert(key, value);
    const WriteResult result = writeFileAtomically(path, QJsonDocument(object).toJson(QJsonDocument::Compact));
    if (!result.written)
        return result.error;
    return std::nullopt;
}
