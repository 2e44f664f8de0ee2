#include "lyrics/TrackOffsets.h"

#include "lyrics/TrackKey.h"
#include "lyrics/VersionedJsonFile.h"

#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace {

const QString versionKey = QStringLiteral("version");
const QString offsetsKey = QStringLiteral("offsets");
constexpr int fileVersion = 1;

}  // namespace

QString TrackOffsets::keyOf(const NowPlayingTrack& track) { return trackKey(track); }

std::optional<double> TrackOffsets::clamped(double seconds)
{
    if (std::isnan(seconds))
        return std::nullopt;
    return std::round(std::clamp(seconds, -limit, limit) * 1000.0) / 1000.0;
}

TrackOffsets::TrackOffsets(QString filePath)
    : m_filePath(std::move(filePath))
{
    load();
}

double TrackOffsets::offset(const NowPlayingTrack& track) const { return m_offsets.value(keyOf(track), 0.0); }

WriteResult TrackOffsets::setOffset(const NowPlayingTrack& track, double seconds)
{
    const std::optional<double> value = clamped(seconds);
    if (!value)
        return {true, {}};  // nothing changes, so nothing is owed to the file
    // A sum of tenths drifts (0.1 + 0.2); below a millisecond it is no offset at all.
    if (std::abs(*value) < 0.0005)
        m_offsets.remove(keyOf(track));
    else
        m_offsets.insert(keyOf(track), *value);
    return save();
}

void TrackOffsets::load()
{
    const versioned_json_file::ReadResult file = versioned_json_file::read(m_filePath, fileVersion, offsetsKey,
                                                                           QStringLiteral("timing: offsets file"));
    m_unusable = file.unusable;
    const std::optional<QJsonObject>& root = file.root;
    if (!root)
        return;
    const QJsonObject offsets = root->value(offsetsKey).toObject();
    for (auto it = offsets.begin(); it != offsets.end(); ++it) {
        if (!it.value().isDouble())
            continue;  // one odd entry does not cost the others
        if (const std::optional<double> value = clamped(it.value().toDouble()); value && *value != 0.0)
            m_offsets.insert(it.key(), *value);
    }
}

WriteResult TrackOffsets::save() const
{
    if (!m_unusable.isEmpty())
        return {false, m_unusable + QStringLiteral(" — not written over")};
    QJsonObject offsets;
    for (auto it = m_offsets.begin(); it != m_offsets.end(); ++it)
        offsets.insert(it.key(), it.value());
    return versioned_json_file::write(m_filePath, QJsonObject{{versionKey, fileVersion}, {offsetsKey, offsets}});
}
