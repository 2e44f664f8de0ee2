#include "lyrics/RejectedCandidates.h"

#include "foundation/DiagLog.h"
#include "lyrics/TrackKey.h"
#include "lyrics/VersionedJsonFile.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>

namespace {

const QString rejectedKey = QStringLiteral("rejected");
const QString logPrefix = QStringLiteral("lyrics: rejections file");
constexpr int fileVersion = 1;

QString storedForm(std::int64_t id, LyricSource source)
{
    const QString number = QString::number(id);
    return source == LyricSource::ncm ? number : sourceName(source) + u':' + number;
}

// The source and id a stored string names, or nothing.
std::optional<std::pair<LyricSource, std::int64_t>> idFrom(const QString& text)
{
    const qsizetype colon = text.indexOf(u':');
    const std::optional<LyricSource> source = colon < 0 ? LyricSource::ncm : lyricSourceNamed(text.first(colon));
    bool ok = false;
    const std::int64_t id = text.sliced(colon + 1).toLongLong(&ok);
    return source && ok ? std::optional(std::pair(*source, id)) : std::nullopt;
}

}  // namespace

RejectedCandidates::RejectedCandidates(QString filePath)
    : m_filePath(std::move(filePath))
{
    load();
}

QSet<std::int64_t> RejectedCandidates::rejectedFor(const NowPlayingTrack& track, LyricSource source) const
{
    QSet<std::int64_t> ids;
    for (const QString& stored : m_rejected.value(trackKey(track))) {
        if (const auto id = idFrom(stored); id && id->first == source)
            ids.insert(id->second);
    }
    return ids;
}

bool RejectedCandidates::reject(const NowPlayingTrack& track, std::int64_t id, LyricSource source)
{
    QSet<QString>& ids = m_rejected[trackKey(track)];
    const QString stored = storedForm(id, source);
    if (ids.contains(stored))
        return false;
    ids.insert(stored);
    save();
    return true;
}

void RejectedCandidates::load()
{
    if (m_filePath.isEmpty())
        return;
    const versioned_json_file::ReadResult file = versioned_json_file::read(m_filePath, fileVersion, rejectedKey,
                                                                           logPrefix);
    m_unusable = file.unusable;
    const std::optional<QJsonObject>& root = file.root;
    if (!root)
        return;
    const QJsonObject tracks = root->value(rejectedKey).toObject();
    for (auto it = tracks.begin(); it != tracks.end(); ++it) {
        QSet<QString> ids;
        for (const QJsonValue& value : it.value().toArray()) {
            if (const auto id = idFrom(value.toString()))
                ids.insert(storedForm(id->second, id->first));  // one odd entry does not cost the others
        }
        if (!ids.isEmpty())
            m_rejected.insert(it.key(), ids);
    }
}

void RejectedCandidates::save() const
{
    if (m_filePath.isEmpty())
        return;
    if (!m_unusable.isEmpty()) {
        DiagLog::log(logPrefix + QStringLiteral(" not written over, the rejection holds until Zuvik quits — ")
                     + m_unusable);
        return;
    }
    QJsonObject tracks;
    for (auto it = m_rejected.begin(); it != m_rejected.end(); ++it) {
        QStringList ids(it.value().begin(), it.value().end());
        std::sort(ids.begin(), ids.end());  // a stable file for a reader comparing versions
        QJsonArray array;
        for (const QString& id : ids)
            array.append(id);
        tracks.insert(it.key(), array);
    }
    const WriteResult written = versioned_json_file::write(
        m_filePath, QJsonObject{{QStringLiteral("version"), fileVersion}, {rejectedKey, tracks}});
    if (!written.written)
        DiagLog::log(logPrefix + QStringLiteral(" not saved, the rejection holds until Zuvik quits — ")
                     + written.error);
}
