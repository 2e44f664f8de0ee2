// What a person would read off a frame of each look: the built executable draws it on a private X
// server, ImageMagick prepares the picture and tesseract reads it back.
#include "PrivateX11Server.h"
#include "TerminalRun.h"
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The words tesseract reads in a picture, lower-cased: light text on the dark ground and dark text
// on light blocks (a chip, a glyph box) are read in two passes.
QStringList wordsIn(const QString& picture)
{
    QStringList words;
    for (const bool negate : {true, false}) {
        const QString prepared = picture + (negate ? QStringLiteral(".light.png") : QStringLiteral(".dark.png"));
        QStringList convert{picture, QStringLiteral("-colorspace"), QStringLiteral("Gray")};
        convert += negate ? QStringList{QStringLiteral("-negate")} : QStringList();
        if (!runX11Tool(QStringLiteral("convert"),
                        convert + QStringList{QStringLiteral("-threshold"), QStringLiteral("50%"), prepared}))
            continue;
        const auto text = runX11Tool(
            QStringLiteral("tesseract"),
            {prepared, QStringLiteral("stdout"), QStringLiteral("--psm"), QStringLiteral("11")}, 60000);
        words += QString::fromUtf8(text.value_or(QByteArray()))
                     .toLower()
                     .split(QRegularExpression(QStringLiteral("[^a-z]+")), Qt::SkipEmptyParts);
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
    QStringList absent;  // words of other lines
    const char* backend = "";  // QT_QUICK_BACKEND, empty for the default
};

class StillFrame : public ::testing::TestWithParam<StillCase> {};

TEST_P(StillFrame, ShowsTheWordsSungByThen)
{
    const StillCase& c = GetParam();
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("frame.png"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (*c.backend)
        environment.insert(QStringLiteral("QT_QUICK_BACKEND"), QString::fromUtf8(c.backend));
    const terminal_run::Outcome run = terminal_run::runZuvik({"--render-frame", picture, "--at", QString::number(c.at),
                                                              "--style", c.style, "--background", "#101418", "--size",
                                                              "1600x900"},
                                                             environment);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
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
    ::testing::Values(
        StillCase{"ship",
                  7.3,
                  {QStringLiteral("city"), QStringLiteral("hums"), QStringLiteral("silver")},
                  {QStringLiteral("song"), QStringLiteral("night")}},
        // The current word sits on its glyph box beside its pictogram, which tesseract reads poorly.
        StillCase{"visual", 7.3, {QStringLiteral("city"), QStringLiteral("hums")}, {QStringLiteral("song")}},
        // The software renderer warps the lens on the CPU: the words must read all the same.
        StillCase{
            "fisheye", 7.3, {QStringLiteral("silver")}, {QStringLiteral("song"), QStringLiteral("city")}, "software"},
        StillCase{"ship", 29.5, {}, {QStringLiteral("sing"), QStringLiteral("tonight")}}),  // between lines
    [](const auto& info) {
        return std::string(info.param.style) + "_at_" + std::to_string(int(info.param.at * 10)) + info.param.backend;
    });

}  // namespace
