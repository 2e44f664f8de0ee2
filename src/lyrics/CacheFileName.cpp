#include "lyrics/CacheFileName.h"

#include "lyrics/TrackDuration.h"
#include "lyrics/UnicodeText.h"

namespace {

constexpr qsizetype slugCharacters = 80;
// Linux and most other file systems cap a name at 255 bytes; the name adds "-", 8 digits, ".json".
constexpr qsizetype maxSlugBytes = 255 - 14;

qsizetype utf8Size(QStringView text) { return text.toUtf8().size(); }

}  // namespace

QString cacheKey(const NowPlayingTrack& track)
{
    return track.artist + u'|' + track.title + u'|' + QString::number(track_duration::roundedSeconds(track.duration));
}

QString cacheSlug(QStringView key)
{
    QString replaced;
    replaced.reserve(key.size());
    unicode_text::forEachScalar(key, [&](char32_t scalar) {
        if (unicode_text::isAlphanumeric(scalar))
            replaced += QStringView(QChar::fromUcs4(scalar));
        else
            replaced += u'_';
    });
    return unicode_text::leadingCharacters(replaced, slugCharacters).toString();
}

std::uint32_t fnv1a32(QByteArrayView bytes)
{
    std::uint32_t hash = 2166136261u;
    for (const char byte : bytes) {
        hash ^= static_cast<std::uint8_t>(byte);
        hash *= 16777619u;
    }
    return hash;
}

QString cacheFileName(QStringView key)
{
    QString slug = cacheSlug(key);
    // Rare: ideographs from beyond the first plane, or characters carrying many marks.
    for (qsizetype keep = slugCharacters; utf8Size(slug) > maxSlugBytes && keep > 0; --keep)
        slug = unicode_text::leadingCharacters(slug, keep - 1).toString();
    const std::uint32_t hash = fnv1a32(key.toUtf8());
    return slug + u'-' + QStringLiteral("%1").arg(hash, 8, 16, QLatin1Char('0')) + QStringLiteral(".json");
}
