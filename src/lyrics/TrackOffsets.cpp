#include "lyrics/TrackOffsets.h"

#include "lyrics/TrackKey.h"
#include "lyrics/VersionedJsonFile.h"

#include <QJsonObject>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>

namespace {

const QString versionKey = QStringLiteral("version");
const QString offsetsKey = QStringLiteral("offsets");
constexpr int fileVersion = 1;

}  // namespace

QString TrackOffsets::userFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Zuvik/offsets.json");
}

QString TrackOffsets::keyOf(const NowPlayingTrack& track)
{
    return trackKey(track);
}

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

double TrackOffsets::offset(const NowPlayingTrack& track) const
{
    return m_offsets.value(keyOf(track), 0.0);
}

double TrackOffsets::setOffset(const NowPlayingTrack& track, double seconds)
{
    const std::optional<double> value = clamped(seconds);
    if (!value)
        return offset(track);
    // A sum of tenths drifts (0.1 + 0.2); below a millisecond it is no offset at all.
    if (std::abs(*value) < 0.0005)
        m_offsets.remove(keyOf(track));
    else
        m_offsets.insert(keyOf(track), *value);
    save();
    return offset(track);
}

void TrackOffsets::load()
{
    const std::optional<QJsonObject> root =
        versioned_json_file::read(m_filePath, fileVersion, offsetsKey, QStringLiteral("timing: offsets file"));
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

void TrackOffsets::save() const
{
    QJsonObject offsets;
    for (auto it = m_offsets.begin(); it != m_offsets.end(); ++it)
        offsets.insert(it.key(), it.value());
    versioned_json_file::write(m_filePath, QJsonObject{{versionKey, fileVersion}, {offsetsKey, offsets}},
                               QStringLiteral("timing: offsets file"));
}
