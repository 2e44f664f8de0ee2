#include "lyrics/LyricsProvider.h"

#include "foundation/UserFolders.h"
#include "lyrics/LyricsLog.h"
#include "lyrics/ServiceAddress.h"

LyricsProvider::Options LyricsProvider::Options::fromEnvironment()
{
    Options options;
    options.baseUrl = service_address::fromEnvironment();
    options.cacheFolder = UserFolders::lyricsCacheBase();
    options.rejectionsFile = UserFolders::rejectionsFile();
    return options;
}

LyricsProvider::LyricsProvider(const Options& options, QObject* parent)
    : QObject(parent)
    , m_session(options.baseUrl, {options.transferTimeout, options.requestDeadline})
    , m_cache(LyricsCache::prepare(options.cacheFolder))
    , m_rejected(options.rejectionsFile)
{}

LyricsProvider::~LyricsProvider()
{
    // Members go before children: a reply must never outlive its network access manager.
    qDeleteAll(findChildren<LyricsLookup*>(Qt::FindDirectChildrenOnly));
}

LyricsLookup* LyricsProvider::lookup(const NowPlayingTrack& track) { return start(track, {}); }

LyricsLookup* LyricsProvider::freshLookup(const NowPlayingTrack& track)
{
    LyricsLookup::Mode mode;
    mode.fresh = true;
    return start(track, std::move(mode));
}

LyricsLookup* LyricsProvider::retry(const NowPlayingTrack& track, const LyricsOrigin& origin, const TimedLyrics& wrong)
{
    LyricsLookup::Mode mode;
    mode.retry = true;
    if (origin.kind == LyricsOrigin::Kind::service) {
        if (m_rejected.reject(track, origin.candidate.id))
            lyrics_log::rejected(origin.candidate, track);
    } else {
        mode.wrong = wrong;
    }
    return start(track, std::move(mode));
}

LyricsLookup* LyricsProvider::start(const NowPlayingTrack& track, LyricsLookup::Mode mode)
{
    return new LyricsLookup(m_session, m_cache, m_rejected, {durationToleranceMs, maxCandidateProbes}, track,
                            std::move(mode), this);
}
