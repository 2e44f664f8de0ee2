#include "playback/PlayerQueryRunner.h"

#include "foundation/DiagLog.h"

PlayerQueryRunner::PlayerQueryRunner(PlayerQuery::HostFactory makeHost, PlayerQuery::Clock clock)
    : m_makeHost(std::move(makeHost))
    , m_clock(std::move(clock))
{
}

PlayerQueryRunner::~PlayerQueryRunner() = default;

PlayerScriptHost* PlayerQueryRunner::host()
{
    // Made once: a host that cannot be had is not asked for again.
    if (m_makeHost) {
        m_host = m_makeHost();
        m_makeHost = nullptr;
        if (m_host && m_onSeek)
            m_host->setSeekListener(m_onSeek);
    }
    return m_host.get();
}

void PlayerQueryRunner::setSeekListener(std::function<void()> onSeek)
{
    m_onSeek = std::move(onSeek);
    if (m_host)
        m_host->setSeekListener(m_onSeek);
}

std::optional<PlayerSample> PlayerQueryRunner::runOnce()
{
    PlayerScriptHost* const script = host();
    if (!script) {
        if (!m_reportedFailure) {
            m_reportedFailure = true;
            DiagLog::log(QStringLiteral("AppleScript source failed to compile"));
        }
        return std::nullopt;
    }

    const QDateTime start = m_clock();
    const ScriptResult result = script->run();
    const QDateTime end = m_clock();
    // Dated to the middle of the round trip: the player answered somewhere in between.
    const QDateTime sampledAt = start.addMSecs(start.msecsTo(end) / 2);

    if (const auto* error = std::get_if<ScriptError>(&result)) {
        reportFailure(*error);
        return std::nullopt;
    }
    m_reportedFailure = false;
    const QString& reply = std::get<QString>(result);
    noteReply(reply);
    return PlayerSample::fromReply(reply, sampledAt);
}

void PlayerQueryRunner::reportFailure(const ScriptError& error)
{
    if (m_reportedFailure)
        return;
    m_reportedFailure = true;
    for (const QString& line : m_host->failureLines(error))
        DiagLog::log(line);
}

void PlayerQueryRunner::noteReply(const QString& reply)
{
    if (reply.isEmpty()) {
        if (++m_emptyStreak == 1)
            DiagLog::log(m_host->nothingPlayingLine());
    } else if (m_emptyStreak != 0) {
        m_emptyStreak = 0;
        DiagLog::log(QStringLiteral("player query: ") + reply);
    }
}
