#include "lyrics/LyricsProvider.h"

#include "lyrics/ServiceAddress.h"

#include <QCoreApplication>

LyricsProvider::Options LyricsProvider::Options::fromEnvironment()
{
    return Options{service_address::fromEnvironment(), LyricsCache::userCacheFolder()};
}

LyricsProvider& LyricsProvider::shared()
{
    static LyricsProvider* const instance = new LyricsProvider(Options::fromEnvironment(), QCoreApplication::instance());
    return *instance;
}

LyricsProvider::LyricsProvider(const Options& options, QObject* parent)
    : QObject(parent)
    , m_session(options.baseUrl, options.transferTimeout)
    , m_cache(LyricsCache::prepare(options.cacheFolder))
{
}

LyricsProvider::~LyricsProvider()
{
    // Members go before children: a reply must never outlive its network access manager.
    qDeleteAll(findChildren<LyricsLookup*>(Qt::FindDirectChildrenOnly));
}

LyricsLookup* LyricsProvider::lookup(const NowPlayingTrack& track)
{
    return new LyricsLookup(m_session, m_cache, {durationToleranceMs, maxCandidateProbes}, track, this);
}
