#include "lyrics/CandidateChoice.h"

#include "lyrics/SearchKey.h"
#include "lyrics/TrackDuration.h"
#include "lyrics/UnicodeText.h"

#include <QSet>

#include <algorithm>
#include <optional>

namespace {

QSet<QString> wordsOf(const QString& key)
{
    const QStringList words = key.split(u' ', Qt::SkipEmptyParts);
    return QSet<QString>(words.begin(), words.end());
}

// The keys of the track, computed once for all candidates of a reply.
struct TrackIdentity {
    QString titleKey;
    QSet<QString> artistWords;

    explicit TrackIdentity(const NowPlayingTrack& track)
        : titleKey(searchKey(track.title))
        , artistWords(wordsOf(searchKey(track.artist)))
    {}
};

bool titlesMatch(const QString& t, const QString& c)
{
    if (t.isEmpty() || c.isEmpty())
        return false;
    const QString spacedT = u' ' + t + u' ';
    const QString spacedC = u' ' + c + u' ';
    return c == t || c.startsWith(t + u' ') || t.startsWith(c + u' ') || c.contains(spacedT) || t.contains(spacedC);
}

bool artistsMatch(const QSet<QString>& trackWords, const QStringList& candidateArtists)
{
    if (trackWords.isEmpty())
        return true;
    QSet<QString> candidateWords;
    for (const QString& name : candidateArtists)
        candidateWords.unite(wordsOf(searchKey(name)));
    return trackWords.intersects(candidateWords);
}

bool matchesIdentity(const Candidate& candidate, const QString& nameKey, const TrackIdentity& track)
{
    return titlesMatch(track.titleKey, nameKey) && artistsMatch(track.artistWords, candidate.artists);
}

// |a - b| without overflow: a reply may carry any 64-bit duration, and the true distance of two
// 64-bit values always fits an unsigned 64-bit one.
std::uint64_t distance(std::int64_t a, std::int64_t b)
{
    const auto ua = static_cast<std::uint64_t>(a);
    const auto ub = static_cast<std::uint64_t>(b);
    return a >= b ? ua - ub : ub - ua;
}

struct Ranked {
    Candidate candidate;
    bool exactTitle;
    std::uint64_t durationDistance;  // 0 for every candidate when there is no target
};

}  // namespace

QString primaryArtist(QStringView artist)
{
    qsizetype end = artist.size();
    for (qsizetype i = 0; i < artist.size(); ++i) {
        if (artist[i] == u',' || artist[i] == u'&') {
            end = i;
            break;
        }
    }
    return unicode_text::trimmed(artist.first(end)).toString();
}

QString searchQuery(const NowPlayingTrack& track)
{
    return primaryArtist(track.artist) + u' ' + searchKey(track.title);
}

bool matches(const Candidate& candidate, const NowPlayingTrack& track)
{
    return matchesIdentity(candidate, searchKey(candidate.name), TrackIdentity(track));
}

QList<Candidate> chooseCandidates(const QList<Candidate>& candidates, const NowPlayingTrack& track,
                                  std::int64_t toleranceMs)
{
    const TrackIdentity identity(track);
    const std::optional<std::int64_t> target = track_duration::targetMilliseconds(track.duration);
    QList<Ranked> kept;
    for (const Candidate& candidate : candidates) {
        const std::uint64_t off = target ? distance(candidate.durationMs, *target) : 0;
        if (off > static_cast<std::uint64_t>(toleranceMs))
            continue;
        const QString nameKey = searchKey(candidate.name);
        if (matchesIdentity(candidate, nameKey, identity))
            kept.append(Ranked{candidate, nameKey == identity.titleKey, off});
    }
    std::stable_sort(kept.begin(), kept.end(), [](const Ranked& a, const Ranked& b) {
        if (a.exactTitle != b.exactTitle)
            return a.exactTitle;
        return a.durationDistance < b.durationDistance;
    });
    QList<Candidate> chosen;
    chosen.reserve(kept.size());
    for (const Ranked& ranked : kept)
        chosen.append(ranked.candidate);
    return chosen;
}
