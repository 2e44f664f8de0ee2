#include "playback/PlayerQueryRunner.h"

#include "foundation/DiagLog.h"

PlayerQueryRunner::PlayerQueryRunner(PlayerQuery::SourceFactory makeSource, PlayerQuery::Clock clock)
    : m_makeSource(std::move(makeSource))
    , m_clock(std::move(clock))
{}

PlayerQueryRunner::~PlayerQueryRunner() = default;

PlayerSource* PlayerQueryRunner::source()
{
    // Made once: a source that cannot be had is not asked for again.
    if (m_makeSource) {
        m_source = m_makeSource();
        m_makeSource = nullptr;
        if (m_source && m_onSeek)
            m_source->setSeekListener(m_onSeek);
    }
    return m_source.get();
}

void PlayerQueryRunner::setSeekListener(std::function<void()> onSeek)
{
    m_onSeek = std::move(onSeek);
    if (m_source)
        m_source->setSeekListener(m_onSeek);
}

std::optional<PlayerSample> PlayerQueryRunner::runOnce()
{
    PlayerSource* const players = source();
    if (!players) {
        if (!m_reportedFailure) {
            m_reportedFailure = true;
            DiagLog::log(QStringLiteral("AppleScript source failed to compile"));
        }
        return std::nullopt;
    }

    const QDateTime start = m_clock();
    const PlayerResult result = players->read();
    const QDateTime end = m_clock();

    if (const auto* error = std::get_if<PlayerError>(&result)) {
        reportFailure(*error);
        return std::nullopt;
    }
    m_reportedFailure = false;
    const PlayerReading& reading = std::get<PlayerReading>(result);
    noteReading(reading.summary);
    std::optional<PlayerSample> sample = reading.sample;
    // Dated to the middle of the round trip: the player answered somewhere in between.
    if (sample)
        sample->sampledAt = start.addMSecs(start.msecsTo(end) / 2);
    return sample;
}

void PlayerQueryRunner::reportFailure(const PlayerError& error)
{
    if (m_reportedFailure)
        return;
    m_reportedFailure = true;
    for (const QString& line : m_source->failureLines(error))
        DiagLog::log(line);
}

void PlayerQueryRunner::noteReading(const QString& summary)
{
    if (summary.isEmpty()) {
        if (++m_emptyStreak == 1)
            DiagLog::log(m_source->nothingPlayingLine());
    } else if (m_emptyStreak != 0) {
        m_emptyStreak = 0;
        DiagLog::log(QStringLiteral("player query: ") + summary);
    }
}
