#include "lyrics/LyricsProvider.h"

#include "foundation/UserFolders.h"
#include "lyrics/LrclibAddress.h"
#include "lyrics/LrclibLookup.h"
#include "lyrics/LyricsLog.h"
#include "lyrics/NcmLookup.h"
#include "lyrics/ServiceAddress.h"

LyricsProvider::Options LyricsProvider::Options::fromEnvironment()
{
    Options options;
    options.baseUrl = service_address::fromEnvironment();
    options.cacheFolder = UserFolders::lyricsCacheBase();
    options.rejectionsFile = UserFolders::rejectionsFile();
    options.lrclibBaseUrl = lrclib_address::fromEnvironment();
    options.sources = defaultSourceOrder();
    return options;
}

LyricsProvider::LyricsProvider(const Options& options, QObject* parent)
    : QObject(parent)
    , m_session(options.baseUrl, {options.transferTimeout, options.requestDeadline},
                service_address::headers(options.baseUrl))
    , m_lrclibSession(options.lrclibBaseUrl, {options.transferTimeout, options.requestDeadline},
                      lrclib_address::headers())
    , m_sources(options.sources)
    , m_cache(LyricsCache::prepare(options.cacheFolder))
    , m_rejected(options.rejectionsFile)
{}

LyricsProvider::~LyricsProvider()
{
    // Members go before children: a reply must never outlive its network access manager.
    qDeleteAll(findChildren<LyricsLookup*>(Qt::FindDirectChildrenOnly));
}

LyricsLookup* LyricsProvider::lookup(const NowPlayingTrack& track) { return start(track, {}); }

LyricsLookup* LyricsProvider::survey(const NowPlayingTrack& track)
{
    LyricsLookup::Mode mode;
    mode.fresh = true;
    mode.survey = true;
    return start(track, std::move(mode));
}

void LyricsProvider::setSources(const QList<LyricSource>& sources)
{
    if (!sources.isEmpty())
        m_sources = sources;
}

LyricsLookup* LyricsProvider::retry(const NowPlayingTrack& track, const LyricsOrigin& origin, const TimedLyrics& wrong)
{
    LyricsLookup::Mode mode;
    mode.retry = true;
    if (origin.candidateKnown) {
        if (m_rejected.reject(track, origin.candidate.id, origin.candidate.source))
            lyrics_log::rejected(origin.candidate, track);
    } else {
        mode.wrong = wrong;
    }
    return start(track, std::move(mode));
}

LyricsLookup* LyricsProvider::start(const NowPlayingTrack& track, LyricsLookup::Mode mode)
{
    return new LyricsLookup([this](LyricSource source, LookupContext& context,
                                   QObject* parent) { return makeSource(source, context, parent); },
                            m_sources, m_cache, m_rejected, track, std::move(mode), this);
}

SourceLookup* LyricsProvider::makeSource(LyricSource source, LookupContext& context, QObject* parent)
{
    switch (source) {
    case LyricSource::ncm:
        return new NcmLookup(m_session, {durationToleranceMs, maxCandidateProbes}, context, parent);
    case LyricSource::lrclib:
        return new LrclibLookup(m_lrclibSession, durationToleranceMs, context, parent);
    }
    Q_UNREACHABLE();
}
