#include "QtTestSupport.h"

#include "foundation/DiagLog.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Lets the log writer finish before the test main removes the private home it writes into;
// otherwise a line still on its way recreates folders there and the home is left behind.
class DrainLogAtExit : public ::testing::Environment {
public:
    void TearDown() override { DiagLog::shared().waitUntilWritten(); }
};

[[maybe_unused]] ::testing::Environment* const drainLogAtExit =
    ::testing::AddGlobalTestEnvironment(new DrainLogAtExit);

}  // namespace

void ensureQtApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "zuvik-test";
    static char* argv[] = {name, nullptr};
    // Kept for the life of the process, like the application object of the real program.
    static QCoreApplication* const app = new QCoreApplication(argc, argv);
    Q_UNUSED(app);
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        // Sleeps in the event loop, so queued results and D-Bus traffic are handled meanwhile.
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

LogLines::LogLines()
{
    DiagLog::shared().waitUntilWritten();
    m_offset = QFileInfo(DiagLog::shared().filePath()).size();
}

QStringList LogLines::lines() const
{
    DiagLog::shared().waitUntilWritten();
    QFile file(DiagLog::shared().filePath());
    if (!file.open(QIODevice::ReadOnly) || !file.seek(m_offset))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    lines.removeLast();  // after the last LF
    for (QString& line : lines)
        line = line.mid(14);  // "HH:mm:ss.zzz  "
    return lines;
}
