// mpv with its MPRIS plugin plays tagged tones on a private bus; query and monitor follow its "time-pos".
#include "PrivateBus.h"
#include "QuerySupport.h"

#include "platform/mpris/MprisPlayerSource.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

bool makeTone(const QString& path, const char* title, int seconds)
{
    QProcess sox;
    sox.start("sox",
              {"-n", "-r", "44100", "-c", "2", "--add-comment", QStringLiteral("TITLE=%1").arg(title), "--add-comment",
               "ARTIST=The Sine Waves", path, "synth", QString::number(seconds), "sine", "440"});
    return sox.waitForFinished(60000) && sox.exitStatus() == QProcess::NormalExit && sox.exitCode() == 0;
}

// mpv on the current session bus, steered through its JSON IPC socket.
class Mpv {
public:
    Mpv(const QString& socketPath, const QString& file)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start("mpv", {"--no-config", "--script=" ZUVIK_MPV_MPRIS_PLUGIN, "--no-video", "--ao=null",
                                "--idle=yes", "--really-quiet", "--input-ipc-server=" + socketPath, file});
        m_process.closeWriteChannel();
        ready = waitUntil([&] {
            m_socket.connectToServer(socketPath);
            return m_socket.waitForConnected(200);
        });
    }
    ~Mpv()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    bool ready = false;
    QJsonValue command(const QJsonArray& command)
    {
        const int id = ++m_lastId;
        m_socket.write(
            QJsonDocument(QJsonObject{{"command", command}, {"request_id", id}}).toJson(QJsonDocument::Compact) + '\n');
        m_socket.flush();
        // Events arrive on the same socket; the answer is the line with our request id.
        while (m_socket.state() == QLocalSocket::ConnectedState) {
            while (!m_socket.canReadLine())
                if (!m_socket.waitForReadyRead(10000))
                    return {};
            const QJsonObject line = QJsonDocument::fromJson(m_socket.readLine()).object();
            if (line.value("request_id").toInt(-1) == id)
                return line.value("data");
        }
        return {};
    }

    void quit()
    {
        command({"quit"});
        m_process.waitForFinished(15000);
    }

private:
    QProcess m_process;
    QLocalSocket m_socket;
    int m_lastId = 0;
};

class MpvEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(makeTone(first, "Zuvik Test Tone", 30));
        ASSERT_TRUE(makeTone(second, "Second Tone", 20));
        QObject::connect(&tracked.monitor, &NowPlayingMonitor::playingReported, [this] { ++ingests; });
    }

    double positionNow() const { return tracked.monitor.anchor().position(QDateTime::currentDateTimeUtc()); }
    bool isPlaying(const char* title) const
    {
        return tracked.monitor.track() && tracked.monitor.track()->title == title;
    }
    bool waitForSamples(int count)
    {
        const int target = ingests + count;
        return waitUntil([&] { return ingests >= target; });
    }
    void expectInStepWith(Mpv& mpv, const char* when)
    {
        EXPECT_NEAR(mpv.command({"get_property", "time-pos"}).toDouble(-1), positionNow(), 0.3) << when;
    }

    PrivateBus bus{PrivateBus::session};
    QTemporaryDir folder;
    const QString first = folder.filePath("first.flac");
    const QString second = folder.filePath("second.flac");
    LogLines log;
    struct Tracked {
        PlayerQuery query{[] { return std::make_unique<MprisPlayerSource>(PlayerRoster::shared()); }};
        NowPlayingMonitor monitor{[this](NowPlayingMonitor::Completion done) { query.run(std::move(done)); }};
    } tracked;
    int ingests = 0;
};

}  // namespace

TEST_F(MpvEndToEnd, MonitorFollowsMpvThroughPlayPauseSeekTrackChangeStopAndExit)
{
    Mpv mpv(folder.filePath("mpv.sock"), first);
    ASSERT_TRUE(mpv.ready);
    ASSERT_TRUE(waitUntil([&] { return isPlaying("Zuvik Test Tone"); }));
    EXPECT_EQ(tracked.monitor.track(), (NowPlayingTrack{"Zuvik Test Tone", "The Sine Waves", 30}));
    EXPECT_EQ(tracked.monitor.anchor().rate, 1);
    ASSERT_TRUE(waitForSamples(3));
    expectInStepWith(mpv, "playing");

    mpv.command({"set_property", "pause", true});
    ASSERT_TRUE(waitUntil([&] { return tracked.monitor.anchor().rate == 0; }));
    expectInStepWith(mpv, "paused");

    mpv.command({"set_property", "pause", false});
    ASSERT_TRUE(waitUntil([&] { return tracked.monitor.anchor().rate == 1; }));
    mpv.command({"seek", 20, "absolute"});
    ASSERT_TRUE(waitUntil([&] { return tracked.monitor.anchor().elapsed >= 19.5; }));
    ASSERT_TRUE(waitForSamples(2));
    expectInStepWith(mpv, "after the seek");

    mpv.command({"loadfile", second, "replace"});
    ASSERT_TRUE(waitUntil([&] { return isPlaying("Second Tone"); }));
    ASSERT_TRUE(waitForSamples(2));
    expectInStepWith(mpv, "second track");

    mpv.command({"stop"});
    ASSERT_TRUE(waitUntil([&] { return !tracked.monitor.track(); }));
    EXPECT_EQ(tracked.monitor.anchor(), PlayheadAnchor::idle());

    // mpv-mpris 0.7 stays "Stopped" for a file loaded after a stop: the exit while playing is a second mpv's.
    mpv.quit();
    Mpv again(folder.filePath("again.sock"), first);
    ASSERT_TRUE(again.ready);
    ASSERT_TRUE(waitUntil([&] { return isPlaying("Zuvik Test Tone"); }));
    again.quit();
    ASSERT_TRUE(waitUntil([&] { return !tracked.monitor.track(); }));

    EXPECT_EQ(log.newMessages().filter(QRegularExpression("^(now|nothing) playing")),
              (QStringList{"now playing (music): The Sine Waves — Zuvik Test Tone (30.0s)",
                           "now playing (music): The Sine Waves — Second Tone (20.0s)", "nothing playing",
                           "now playing (music): The Sine Waves — Zuvik Test Tone (30.0s)", "nothing playing"}));
}
