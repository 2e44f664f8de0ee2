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

std::optional<std::int64_t> idFrom(const QJsonValue& value)
{
    bool ok = false;
    const std::int64_t id = value.toString().toLongLong(&ok);
    return ok ? std::optional(id) : std::nullopt;
}

}  // namespace

RejectedCandidates::RejectedCandidates(QString filePath)
    : m_filePath(std::move(filePath))
{
    load();
}

QSet<std::int64_t> RejectedCandidates::rejectedFor(const NowPlayingTrack& track) const
{
    return m_rejected.value(trackKey(track));
}

bool RejectedCandidates::reject(const NowPlayingTrack& track, std::int64_t id)
{
    QSet<std::int64_t>& ids = m_rejected[trackKey(track)];
    if (ids.contains(id))
        return false;
    ids.insert(id);
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
        QSet<std::int64_t> ids;
        for (const QJsonValue& value : it.value().toArray()) {
            if (const std::optional<std::int64_t> id = idFrom(value))
                ids.insert(*id);  // one odd entry does not cost the others
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
        QList<std::int64_t> ids(it.value().begin(), it.value().end());
        std::sort(ids.begin(), ids.end());  // a stable file for a reader comparing versions
        QJsonArray array;
        for (std::int64_t id : ids)
            array.append(QString::number(id));
        tracks.insert(it.key(), array);
    }
    const WriteResult written = versioned_json_file::write(
        m_filePath, QJsonObject{{QStringLiteral("version"), fileVersion}, {rejectedKey, tracks}});
    if (!written.written)
        DiagLog::log(logPrefix + QStringLiteral(" not saved, the rejection holds until Zuvik quits — ")
                     + written.error);
}
