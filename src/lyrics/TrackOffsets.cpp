#include "lyrics/TrackOffsets.h"

#include "app/DiagLog.h"
#include "lyrics/SearchKey.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
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
    const double duration = std::isfinite(track.duration) ? std::round(track.duration) : -1.0;
    return searchKey(track.title) + u'\t' + searchKey(track.artist) + u'\t'
        + QString::number(static_cast<qint64>(duration));
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
    QFile file(m_filePath);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    file.close();
    const QJsonObject root = document.object();
    const bool readable = error.error == QJsonParseError::NoError && document.isObject()
        && root.value(versionKey).toInt() == fileVersion && root.value(offsetsKey).isObject();
    if (!readable) {
        const QString aside = m_filePath + QStringLiteral(".corrupt");
        QFile::remove(aside);
        QFile::rename(m_filePath, aside);
        DiagLog::log(QStringLiteral("timing: offsets file unreadable — kept aside as ") + aside);
        return;
    }
    const QJsonObject offsets = root.value(offsetsKey).toObject();
    for (auto it = offsets.begin(); it != offsets.end(); ++it) {
        if (!it.value().isDouble())
            continue;  // one odd entry does not cost the others
        if (const std::optional<double> value = clamped(it.value().toDouble()); value && *value != 0.0)
            m_offsets.insert(it.key(), *value);
    }
}

void TrackOffsets::save() const
{
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    QJsonObject offsets;
    for (auto it = m_offsets.begin(); it != m_offsets.end(); ++it)
        offsets.insert(it.key(), it.value());
    const QJsonObject root{{versionKey, fileVersion}, {offsetsKey, offsets}};
    // Written beside and renamed over: a crash mid-write leaves the old file whole.
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(root).toJson()) < 0 || !file.commit())
        DiagLog::log(QStringLiteral("timing: could not write ") + m_filePath);
}
