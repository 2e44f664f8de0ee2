// What a person would read off the screen: the built executable draws on a private X server with
// a compositor, a screenshot is taken with ImageMagick and read back with tesseract.
#include "EventLoopWait.h"
#include "PrivateBus.h"
#include "PrivateX11Server.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QRasterWindow>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const QString zuvik = QStringLiteral(ZUVIK_EXECUTABLE);

// The words tesseract reads in a picture, lower-cased: light text on the dark ground and dark text
// on light blocks (a chip, a glyph box) are read in two passes.
QStringList wordsIn(const QString& picture)
{
    QStringList words;
    for (const bool negate : {true, false}) {
        const QString prepared = picture + (negate ? QStringLiteral(".light.png") : QStringLiteral(".dark.png"));
        QStringList convert{picture, QStringLiteral("-colorspace"), QStringLiteral("Gray")};
        if (negate)
            convert.append(QStringLiteral("-negate"));
        convert += {QStringLiteral("-threshold"), QStringLiteral("50%"), prepared};
        if (!runX11Tool(QStringLiteral("convert"), convert))
            continue;
        const auto text = runX11Tool(QStringLiteral("tesseract"),
                                     {prepared, QStringLiteral("stdout"), QStringLiteral("--psm"), QStringLiteral("11")},
                                     60000);
        if (text)
            words += QString::fromUtf8(*text).toLower().split(QRegularExpression(QStringLiteral("[^a-z]+")),
                                                              Qt::SkipEmptyParts);
    }
    return words;
}

// Whether a word was read, also when a pictogram beside it was read as letters stuck to it.
bool wasRead(const QStringList& words, const QString& word)
{
    return std::any_of(words.cbegin(), words.cend(), [&word](const QString& read) { return read.contains(word); });
}

struct StillCase {
    const char* style;
    double at;
    QStringList expected;  // on screen at that moment
    QStringList absent;    // words of other lines
    const char* backend = "";  // QT_QUICK_BACKEND, empty for the default
};

class StillFrame : public ::testing::TestWithParam<StillCase> {
protected:
    QTemporaryDir folder;
};

TEST_P(StillFrame, ShowsTheWordsSungByThen)
{
    const StillCase& c = GetParam();
    const QString picture = folder.filePath(QStringLiteral("frame.png"));
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (*c.backend)
        environment.insert(QStringLiteral("QT_QUICK_BACKEND"), QString::fromUtf8(c.backend));
    process.setProcessEnvironment(environment);
    process.start(zuvik, {QStringLiteral("--render-frame"), picture, QStringLiteral("--at"), QString::number(c.at),
                          QStringLiteral("--style"), QString::fromUtf8(c.style), QStringLiteral("--background"),
                          QStringLiteral("#101418"), QStringLiteral("--size"), QStringLiteral("1600x900")});
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(QImage(picture).size(), QSize(1600, 900));
    const QStringList words = wordsIn(picture);
    for (const QString& word : c.expected)
        EXPECT_TRUE(wasRead(words, word)) << word.toStdString() << " not in " << words.join(u' ').toStdString();
    for (const QString& word : c.absent)
        EXPECT_FALSE(wasRead(words, word)) << word.toStdString() << " in " << words.join(u' ').toStdString();
}

// The demo's second line, "the city hums a silver song", runs from 5.0 s to 8.8 s.
INSTANTIATE_TEST_SUITE_P(
    Looks, StillFrame,
    ::testing::Values(StillCase{"ship", 7.3, {QStringLiteral("city"), QStringLiteral("hums"), QStringLiteral("silver")},
                                {QStringLiteral("song"), QStringLiteral("night")}},
                      // The current word sits on its glyph box beside its pictogram, which tesseract reads poorly.
                      StillCase{"visual", 7.3, {QStringLiteral("city"), QStringLiteral("hums")},
                                {QStringLiteral("song"), QStringLiteral("the")}},
                      StillCase{"fisheye", 7.3, {QStringLiteral("silver")}, {QStringLiteral("song"), QStringLiteral("city")}},
                      // The software renderer warps the lens on the CPU: the words must read all the same.
                      StillCase{"fisheye", 7.3, {QStringLiteral("silver")}, {QStringLiteral("song"), QStringLiteral("city")},
                                "software"},
                      // "turn" is set on a faded chip there, which tesseract does not read.
                      StillCase{"ship", 2.0, {QStringLiteral("night")}, {QStringLiteral("loud"), QStringLiteral("city")}},
                      // Between lines the band is empty.
                      StillCase{"ship", 29.5, {}, {QStringLiteral("sing"), QStringLiteral("tonight")}}),
    [](const auto& info) {
        return std::string(info.param.style) + "_at_" + std::to_string(static_cast<int>(info.param.at * 10))
               + (*info.param.backend ? std::string("_") + info.param.backend : std::string());
    });

// Pictures of frames are compared and committed: the same request must give the same pixels.
TEST(StillFrameRepeat, TheSameRequestGivesTheSamePicture)
{
    QTemporaryDir folder;
    QList<QImage> pictures;
    for (const char* name : {"first.png", "second.png"}) {
        const QString picture = folder.filePath(QString::fromUtf8(name));
        QProcess process;
        process.start(zuvik, {QStringLiteral("--render-frame"), picture, QStringLiteral("--at"), QStringLiteral("20.6"),
                              QStringLiteral("--style"), QStringLiteral("ship"), QStringLiteral("--size"),
                              QStringLiteral("960x540")});
        ASSERT_TRUE(process.waitForFinished(60000));
        ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        pictures.append(QImage(picture));
        if (pictures.size() == 1)
            QThread::msleep(1500);  // a swaying band would have moved on by then
    }
    ASSERT_FALSE(pictures.first().isNull());
    EXPECT_TRUE(pictures.first() == pictures.last());
}

TEST(StillFrameArguments, BadValuesAreRefusedWithAReason)
{
    for (const QStringList& arguments : {QStringList{QStringLiteral("--render-frame"), QStringLiteral("x.png")},
                                         QStringList{QStringLiteral("--render-frame"), QStringLiteral("x.png"),
                                                     QStringLiteral("--at"), QStringLiteral("-1")},
                                         QStringList{QStringLiteral("--render-frame"), QStringLiteral("x.png"),
                                                     QStringLiteral("--at"), QStringLiteral("1"), QStringLiteral("--size"),
                                                     QStringLiteral("0x100")},
                                         QStringList{QStringLiteral("--style"), QStringLiteral("comic")},
                                         QStringList{QStringLiteral("--at"), QStringLiteral("3")}}) {
        QProcess process;
        process.start(zuvik, arguments);
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(process.readAllStandardError().startsWith("zuvik: ")) << arguments.join(u' ').toStdString();
    }
}

// A black desktop for the overlay to be read against.
class Backdrop : public QRasterWindow {
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(QRect(QPoint(0, 0), size()), Qt::black); }
};

TEST(LiveDemo, TheWordsOfTheMomentAreOnScreenAboveOtherWindows)
{
    Backdrop backdrop;
    backdrop.setFlags(Qt::FramelessWindowHint | Qt::BypassWindowManagerHint);
    backdrop.setGeometry(0, 0, 1920, 1080);
    backdrop.show();
    ASSERT_TRUE(waitFor([&backdrop] { return backdrop.isExposed(); }));

    PrivateBus sessionBus;
    ASSERT_TRUE(sessionBus.isRunning());
    QTemporaryDir folder;
    QProcess app;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), sessionBus.address());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    app.setProcessEnvironment(environment);
    QElapsedTimer sinceStart;
    sinceStart.start();
    app.start(zuvik, {QStringLiteral("--demo")});
    ASSERT_TRUE(app.waitForStarted());

    // The demo starts its song as the application comes up, so 7.3 s after the start the second
    // line is being sung (up to "silver" or "song", depending on how long start-up took).
    ASSERT_TRUE(waitFor([&sinceStart] { return sinceStart.elapsed() >= 7300; }, 20s));
    const QString shot = folder.filePath(QStringLiteral("screen.png"));
    const bool taken = runX11Tool(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), shot})
                           .has_value();
    app.kill();
    app.waitForFinished();
    ASSERT_TRUE(taken);
    const QStringList words = wordsIn(shot);
    EXPECT_TRUE(wasRead(words, QStringLiteral("city"))) << words.join(u' ').toStdString();
    EXPECT_TRUE(wasRead(words, QStringLiteral("hums"))) << words.join(u' ').toStdString();
    EXPECT_FALSE(wasRead(words, QStringLiteral("night"))) << words.join(u' ').toStdString();
}

}  // namespace
