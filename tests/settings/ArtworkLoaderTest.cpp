#include "settings/ArtworkLoader.h"
#include "ArtworkTestSupport.h"
#include "LoopbackHttpServer.h"
#include "QtTestSupport.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {
constexpr qint64 mebibyte = 1024 * 1024;

// A red picture padded with blanks to exactly `size` bytes: one pixel of plain-text PPM (which ignores
// blanks) when small, else a PNG (whose readers stop at its end chunk).
QByteArray redOfSize(qint64 size)
{
    QByteArray bytes = size < 100 ? QByteArray("P3\n1 1\n255\n255 0 0\n") : pngOf(Qt::red);
    return bytes.append(size - bytes.size(), ' ');
}

QString fileOf(const QTemporaryDir& dir, const QByteArray& bytes, const char* name = "cover.png")
{
    QFile file(dir.filePath(QString::fromUtf8(name)));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return file.fileName();
}

bool isRedPicture(const std::optional<QImage>& picture)
{
    return picture && !picture->isNull() && picture->pixelColor(0, 0) == QColor(Qt::red);
}

TEST(ArtworkAddress, IsFollowedOnlyForWebAndLocalFiles)
{
    for (const char* followed : {"http://covers.example/a.jpg", "https://i.scdn.co/image/ab67",
                                 "file:///home/me/cover.png", "file://localhost/tmp/cover.png"})
        EXPECT_TRUE(artwork::isFollowedAddress(QUrl(QString::fromUtf8(followed)))) << followed;
    for (const char* refused : {"file://fileserver/share/cover.png", "ftp://covers.example/a.jpg",
                                "data:image/png;base64,iVBO=", "smb://nas/cover.png", "cover.png", "http:///a.jpg", ""})
        EXPECT_FALSE(artwork::isFollowedAddress(QUrl(QString::fromUtf8(refused)))) << refused;
}

struct FileCase {
    const char* fault;
    std::function<QString(const QTemporaryDir&)> make;  // the path to read
    bool gives;

    friend void PrintTo(const FileCase& c, std::ostream* out) { *out << '"' << c.fault << '"'; }
};

class ArtworkFile : public ::testing::TestWithParam<FileCase> {};

TEST_P(ArtworkFile, IsReadOnlyWhenARegularFileOfSensibleSize)
{
    QTemporaryDir dir;
    EXPECT_EQ(isRedPicture(ArtworkLoader().load(QUrl::fromLocalFile(GetParam().make(dir)))), GetParam().gives);
}

QString fifo(const QTemporaryDir& d)  // opening it must not wait for a writer
{
    return ::mkfifo(QFile::encodeName(d.filePath("f.png")), 0600) == 0 ? d.filePath("f.png") : QString();
}

INSTANTIATE_TEST_SUITE_P(
    Limits, ArtworkFile,
    ::testing::Values(
        FileCase{"a cover file", [](auto& d) { return fileOf(d, pngOf(Qt::red)); }, true},
        FileCase{"a link to one",
                 [](auto& d) { return QFile::link(fileOf(d, pngOf(Qt::red)), d.filePath("l")) ? d.filePath("l") : ""; },
                 true},
        FileCase{"a missing file", [](auto& d) { return d.filePath("missing.png"); }, false},
        FileCase{"a directory", [](auto& d) { return QDir(d.path()).mkdir("c.png") ? d.filePath("c.png") : ""; },
                 false},
        FileCase{"a FIFO", fifo, false},
        FileCase{"20 MiB", [](auto& d) { return fileOf(d, redOfSize(20 * mebibyte)); }, false},
        FileCase{"just under 20 MiB", [](auto& d) { return fileOf(d, redOfSize(20 * mebibyte - 1)); }, true},
        FileCase{"32 bytes", [](auto& d) { return fileOf(d, redOfSize(32), "tiny.ppm"); }, false},
        FileCase{"33 bytes", [](auto& d) { return fileOf(d, redOfSize(33), "tiny.ppm"); }, true},
        FileCase{"no picture", [](auto& d) { return fileOf(d, QByteArray(4096, 'x')); }, false}));

TEST(ArtworkBytes, MustBeMoreThanThirtyTwoFewerThanTheCapAndDecodeWithinTheLimit)
{
    ArtworkLoader loader(ArtworkLimits{1s, 64 * 1024, 128});
    EXPECT_FALSE(isRedPicture(loader.load(redOfSize(32))));
    EXPECT_TRUE(isRedPicture(loader.load(redOfSize(33))));
    EXPECT_TRUE(isRedPicture(loader.load(redOfSize(64 * 1024 - 1))));
    EXPECT_FALSE(isRedPicture(loader.load(redOfSize(64 * 1024))));
    EXPECT_FALSE(loader.load(ArtworkLocation()));
    for (const char* format : {"PNG", "JPEG", "BMP", "PPM"})
        EXPECT_EQ(artwork::decodeArtwork(encoded(solidPicture(Qt::red), format), {}).value_or(QImage()).size(),
                  QSize(40, 40))
            << format;
    // At 4 bytes a pixel, 512 × 512 is exactly 1 MiB.
    const ArtworkLimits limits{1s, 20 * mebibyte, 1};
    EXPECT_TRUE(artwork::decodeArtwork(encoded(solidPicture(Qt::red, 512, 512)), limits));
    EXPECT_FALSE(artwork::decodeArtwork(encoded(solidPicture(Qt::red, 513, 512)), limits));
    // A one-bit picture is small on disk and in Qt's own reckoning, but is shrunk at 32 bits.
    QImage mono(600, 600, QImage::Format_Mono);
    mono.fill(1);
    EXPECT_FALSE(artwork::decodeArtwork(encoded(mono), limits));
}

struct DownloadCase {
    const char* fault;
    LoopbackHttpServer::Reply reply;
    bool gives;

    friend void PrintTo(const DownloadCase& c, std::ostream* out) { *out << '"' << c.fault << '"'; }
};

class Download : public ::testing::TestWithParam<DownloadCase> {
protected:
    WithQtApplication app;
};

constexpr qint64 smallCap = 256 * 1024;

TEST_P(Download, TakesAnyBodyThatIsAPicture)
{
    LoopbackHttpServer server;
    server.setReply(u"/cover"_s, GetParam().reply);
    // The server answers from this thread's event loop, which the download's wait keeps running.
    ArtworkLoader loader(ArtworkLimits{2s, smallCap, 128});
    EXPECT_EQ(isRedPicture(loader.load(server.baseUrl().resolved(QUrl(u"/cover"_s)))), GetParam().gives);
    EXPECT_EQ(server.requestsFor(u"/cover"_s).size(), 1);
}

LoopbackHttpServer::Reply reply(int status, QByteArray body, bool declareLength = true)
{
    return LoopbackHttpServer::Reply{status, std::move(body), {{"Content-Type", "image/png"}}, declareLength};
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Download,
    ::testing::Values(DownloadCase{"200", reply(200, pngOf(Qt::red)), true},
                      DownloadCase{"404 with a picture", reply(404, pngOf(Qt::red)), true},
                      DownloadCase{"no declared length", reply(200, pngOf(Qt::red), false), true},
                      DownloadCase{"garbage", reply(200, QByteArray(5000, '\x7f')), false},
                      DownloadCase{"empty body", reply(200, {}), false},
                      DownloadCase{"never answers: time-out", LoopbackHttpServer::Reply::stalling(), false},
                      DownloadCase{"just under the cap", reply(200, redOfSize(smallCap - 1)), true},
                      DownloadCase{"declared body of the cap", reply(200, redOfSize(smallCap)), false},
                      DownloadCase{"undeclared body of the cap: cut off", reply(200, redOfSize(smallCap), false),
                                   false}));
}  // namespace
