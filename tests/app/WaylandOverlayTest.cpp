// The overlays in Wayland sessions, as a user runs them: the built executable playing the demo
// song under headless sway (layer shell) and weston (none, but XWayland), read back with grim and
// tesseract, clicked and typed at through the compositor.
#include "app/DisplayIdentity.h"
#include "HeadlessCompositor.h"
#include "ScreenWords.h"
#include "TerminalRun.h"
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <map>

using namespace std::chrono_literals;
using namespace terminal_run;

namespace {

quint32 idOf(const QString& output) { return displayIdFor({output, "headless", "headless", {}}); }

class SwaySession : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bus.isRunning());
        ASSERT_TRUE(sway.isRunning()) << "headless sway did not start (scripts/packages.txt)";
        song.start();
    }

    // A picture of an output once the demo song has played for `at` seconds (give or take the
    // start-up), or at once when that is past.
    QString shotAt(const QString& output, double at)
    {
        const qint64 wait = qint64(at * 1000) - song.elapsed();
        if (wait > 0)
            QThread::msleep(static_cast<unsigned long>(wait));
        const QString picture = folder.filePath(QString("%1-%2.png").arg(output).arg(++shots));
        return sway.run("grim", {"-o", output, picture}) ? picture : QString();
    }

    // What each output shows of `words` from `from` seconds into the song on: the words read in the
    // first picture with one of them, or in the last one taken before `until`. Pictures are taken
    // again while they are sung, since on a busy machine reading one takes longer than a word lasts.
    std::map<QString, QStringList> readWhileSung(const QStringList& outputs, const QStringList& words, double from,
                                                 double until)
    {
        std::map<QString, QStringList> read;
        QStringList pending = outputs;
        for (double at = from; !pending.isEmpty(); at = song.elapsed() / 1000.0) {
            QStringList pictures;
            for (const QString& output : pending)
                pictures.append(shotAt(output, at));
            for (qsizetype i = pictures.size() - 1; i >= 0; --i) {
                read[pending[i]] = wordsIn(pictures[i]);
                if (readsAny(read[pending[i]], words))
                    pending.removeAt(i);
            }
            if (song.elapsed() > until * 1000)
                break;
        }
        return read;
    }

    static bool reads(const QStringList& words, const QString& word)
    {
        return std::any_of(words.cbegin(), words.cend(), [&word](const QString& read) { return read.contains(word); });
    }
    static bool readsAny(const QStringList& read, const QStringList& words)
    {
        return std::any_of(words.cbegin(), words.cend(), [&read](const QString& word) { return reads(read, word); });
    }

    const PrivateBus bus{PrivateBus::session};
    HeadlessCompositor sway{HeadlessCompositor::Kind::sway};
    QTemporaryDir folder;
    QElapsedTimer song;
    int shots = 0;
};

TEST_F(SwaySession, LayerSurfacesShowTheWordsOnEveryOutputLetInputThroughAndFollowTheOutputs)
{
    ASSERT_TRUE(sway.run("swaymsg", {"create_output"}) && sway.run("swaymsg", {"output HEADLESS-2 scale 2"}));
    LogLines log;
    RunningCopy app(QStringLiteral("now playing (demo)"), sway.clientEnvironment(privateBuses()));
    song.restart();
    ASSERT_TRUE(app.ready);
    const QStringList lines = log.newMessages();
    EXPECT_EQ(lines.filter("overlay: wayland layer-shell (sway)").size(), 1) << lines.join('\n').toStdString();
    for (const char* output : {"HEADLESS-1", "HEADLESS-2"})
        EXPECT_EQ(lines.filter(QString("overlay created for display %1 ").arg(idOf(output))).size(), 1) << output;

    // "the city hums a silver song" is sung from 5.0 s to 8.8 s, on every output; the line before
    // and the line after are not shown.
    for (const auto& [output, words] : readWhileSung({"HEADLESS-1", "HEADLESS-2"}, {"hums"}, 6.6, 8.6)) {
        for (const char* word : {"city", "hums"})
            EXPECT_TRUE(reads(words, word))
                << word << " not on " << output.toStdString() << ": " << words.join(' ').toStdString();
        for (const char* word : {"night", "window"})
            EXPECT_FALSE(reads(words, word))
                << word << " on " << output.toStdString() << ": " << words.join(' ').toStdString();
    }

    // A click on the words and a key reach a window beneath, which fills the first output.
    QProcess below;
    below.setProcessEnvironment(sway.clientEnvironment(QProcessEnvironment::systemEnvironment()));
    below.start("stdbuf", {"-oL", "wev"});
    ASSERT_TRUE(below.waitForStarted()) << "wev is not installed (scripts/packages.txt)";
    QString events;
    const auto received = [&](const char* event) {
        events += QString::fromUtf8(below.readAllStandardOutput());
        return events.contains(QString::fromUtf8(event));
    };
    ASSERT_TRUE(waitFor([&] { return received("xdg_toplevel] configure: width: 1280"); }, 10s));
    // On "hums", in a layout of the first output (1280 x 720) and the second (960 x 540 at scale 2).
    EXPECT_TRUE(sway.run(VIRTUAL_CLICK, {"650", "400", "2240", "720"}));
    EXPECT_TRUE(waitFor([&] { return received("wl_pointer] button"); }, 5s)) << events.right(2000).toStdString();
    EXPECT_TRUE(sway.run("wtype", {"z"})) << "wtype is not installed (scripts/packages.txt)";
    EXPECT_TRUE(waitFor([&] { return received("wl_keyboard] key"); }, 5s)) << events.right(2000).toStdString();
    below.kill();
    below.waitForFinished();
    const Outcome menu = runZuvik({"--menu"});
    EXPECT_EQ(menu.status, 1);
    EXPECT_TRUE(menu.err.contains("no menu at the pointer")) << menu.err.toStdString();

    // Every look: "every window shining like a star" runs from 9.4 s to 13.2 s.
    ASSERT_EQ(runZuvik({"set", "lyricStyle", "Visual"}).status, 0);
    for (const auto& [output, words] : readWhileSung({"HEADLESS-1", "HEADLESS-2"}, {"shining"}, 11.0, 13.0))
        EXPECT_TRUE(reads(words, "shining")) << output.toStdString() << ": " << words.join(' ').toStdString();

    // An output plugged in gets an overlay; a display switched off loses its own.
    const LogLines plugged;
    ASSERT_TRUE(sway.run("swaymsg", {"create_output"}));
    EXPECT_TRUE(waitFor([&] { return !plugged.newMessages().filter(QString::number(idOf("HEADLESS-3"))).isEmpty(); }));
    EXPECT_EQ(runZuvik({"set", "disabledDisplays", QString::number(idOf("HEADLESS-2"))}).status, 0);
    // "we run beneath the summer rain", 13.8 s to 17.8 s; "beneath" from 15.1 s.
    const QString switchedOff = shotAt("HEADLESS-2", 15.6);
    for (const auto& [output, words] : readWhileSung({"HEADLESS-1", "HEADLESS-3"}, {"beneath"}, 15.6, 17.6))
        EXPECT_TRUE(reads(words, "beneath")) << output.toStdString() << ": " << words.join(' ').toStdString();
    EXPECT_FALSE(reads(wordsIn(switchedOff), "beneath"));
    ASSERT_EQ(runZuvik({"set", "lyricStyle", "Fisheye"}).status, 0);
    // The lens shows the last words sung: "fire" from 19.7 s, "hands" from 20.4 s; "back" from
    // 24.5 s, "tonight" from 26.8 s.
    const QStringList lens = readWhileSung({"HEADLESS-1"}, {"fire", "hands"}, 20.0, 22.2)["HEADLESS-1"];
    EXPECT_TRUE(readsAny(lens, {"fire", "hands"})) << lens.join(' ').toStdString();
    ASSERT_EQ(runZuvik({"set", "lyricStyle", "Fisheye Visual"}).status, 0);
    const QStringList lensVisual = readWhileSung({"HEADLESS-3"}, {"back", "tonight"}, 24.8, 27.6)["HEADLESS-3"];
    EXPECT_TRUE(readsAny(lensVisual, {"back", "tonight"})) << lensVisual.join(' ').toStdString();
    // An output switched off takes its overlay along; the others go on. After the last line ("sing it
    // back to me tonight", until 27.6 s) nothing is drawn.
    EXPECT_TRUE(sway.run("swaymsg", {"output HEADLESS-3 disable"}));
    EXPECT_EQ(wordsIn(shotAt("HEADLESS-1", 29.4)), QStringList());
    EXPECT_EQ(app.process.state(), QProcess::Running);
}

// weston offers no layer shell: the overlays are XWayland windows, and the log says why.
TEST(WestonSession, WithoutALayerShellTheOverlaysAreXWaylandWindows)
{
    const PrivateBus bus{PrivateBus::session};
    HeadlessCompositor weston(HeadlessCompositor::Kind::weston);
    ASSERT_TRUE(bus.isRunning() && weston.isRunning()) << "headless weston with XWayland did not start";
    LogLines log;
    RunningCopy app(QStringLiteral("now playing (demo)"), weston.clientEnvironment(privateBuses()));
    ASSERT_TRUE(app.ready);
    const QStringList lines = log.newMessages();
    EXPECT_EQ(lines.filter("overlay: XWayland — this compositor offers no layer-shell").size(), 1)
        << lines.join('\n').toStdString();
    EXPECT_EQ(lines.filter("overlay created for display").size(), 1);
}

}  // namespace
