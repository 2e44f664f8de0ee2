#include "playback/PlayerQuery.h"

#include "playback/PlayerQueryRunner.h"

PlayerQuery::PlayerQuery(SourceFactory makeSource, Clock clock)
    : m_runner(new PlayerQueryRunner(std::move(makeSource), std::move(clock)))
{
    m_thread.setObjectName(QStringLiteral("app.orvane.applescript"));
    m_runner->moveToThread(&m_thread);
    // The source may own D-Bus objects of the query thread, so it has to go away on that thread.
    QObject::connect(&m_thread, &QThread::finished, m_runner, &QObject::deleteLater);
    m_thread.start();
}

PlayerQuery::~PlayerQuery()
{
    // Queued behind every run already requested, so each of those still answers.
    QThread* const thread = &m_thread;
    QMetaObject::invokeMethod(
        m_runner, [thread] { thread->quit(); }, Qt::QueuedConnection);
    m_thread.wait();
}

void PlayerQuery::setSeekListener(std::function<void()> onSeek)
{
    PlayerQueryRunner* const runner = m_runner;
    QMetaObject::invokeMethod(
        runner, [runner, onSeek = std::move(onSeek)] { runner->setSeekListener(onSeek); }, Qt::QueuedConnection);
}

void PlayerQuery::run(Completion completion)
{
    PlayerQueryRunner* const runner = m_runner;
    QMetaObject::invokeMethod(
        runner, [runner, completion = std::move(completion)] { completion(runner->runOnce()); }, Qt::QueuedConnection);
}
