#include "lyrics/SourceLookup.h"

#include "lyrics/JsonRequest.h"
#include "lyrics/LyricsLog.h"
#include "lyrics/RejectedCandidates.h"
#include "lyrics/ServiceSession.h"

#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>

#include <algorithm>
#include <memory>

namespace {

// One thread for every lookup's parsing, made on first use and kept for the process.
QThreadPool& lyricParsingThread()
{
    static QThreadPool* const pool = [] {
        auto* threads = new QThreadPool;
        threads->setObjectName(QStringLiteral("lyric parsing"));
        threads->setMaxThreadCount(1);
        return threads;
    }();
    return *pool;
}

// Lyrics that read the same: the cached copy of a text may differ from a fresh parse in the last
// digit of a time, never in its words.
bool sameWords(const TimedLyrics& a, const TimedLyrics& b)
{
    return a.tier() == b.tier()
           && std::equal(a.words().cbegin(), a.words().cend(), b.words().cbegin(), b.words().cend(),
                         [](const TimedWord& x, const TimedWord& y) { return x.text == y.text; });
}

}  // namespace

LookupContext::LookupContext(NowPlayingTrack track, RejectedCandidates& rejected, std::optional<TimedLyrics> wrong)
    : m_track(std::move(track))
    , m_rejected(rejected)
    , m_wrong(std::move(wrong))
{}

bool LookupContext::isRejected(const Candidate& candidate)
{
    const bool rejected = m_rejected.rejectedFor(m_track, candidate.source).contains(candidate.id);
    m_rejectionsInPlay = m_rejectionsInPlay || rejected;
    return rejected;
}

bool LookupContext::isTheWrongOne(const TimedLyrics& lyrics, const Candidate& candidate)
{
    if (!m_wrong || !sameWords(lyrics, *m_wrong))
        return false;
    m_wrong.reset();
    m_rejectionsInPlay = true;
    if (m_rejected.reject(m_track, candidate.id, candidate.source))
        lyrics_log::rejected(candidate, m_track);
    return true;
}

SourceLookup::SourceLookup(LookupContext& context, QObject* parent)
    : QObject(parent)
    , m_context(context)
{}

void SourceLookup::cancel()
{
    if (m_cancelled)
        return;
    m_cancelled = true;
    if (m_request)
        m_request->cancel();
}

// Requests of a cancelled lookup fail at once, as the one in flight did.
void SourceLookup::get(ServiceSession& session, const QUrl& url, Next next, bool quietNotFound)
{
    if (m_cancelled) {
        lyrics_log::requestFailed(QStringLiteral("cancelled"));
        next({});
        return;
    }
    m_request = session.getJSON(url, this);
    if (quietNotFound)
        m_request->setNotFoundIsQuiet();
    JsonRequest* request = m_request;
    connect(request, &JsonRequest::finished, this,
            [this, request, next = std::move(next)](const std::optional<QJsonDocument>& document) {
                m_request = nullptr;
                next({document, request->wasNotFound()});
            });
}

void SourceLookup::parseInBackground(std::function<QList<TimedWord>()> parse, Parsed next)
{
    auto promise = std::make_shared<QPromise<QList<TimedWord>>>();
    auto* watcher = new QFutureWatcher<QList<TimedWord>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [watcher, next = std::move(next)] {
        watcher->deleteLater();
        next(watcher->result());
    });
    watcher->setFuture(promise->future());
    lyricParsingThread().start([promise, parse = std::move(parse)] {
        promise->start();
        promise->addResult(parse());
        promise->finish();
    });
}

void SourceLookup::answer(std::optional<SourceAnswer> answer) { Q_EMIT finished(answer); }
