// From an artwork location to a picture: which addresses are followed, which files are read, what
// a download server's answers give, and the limits on size.
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

// A one-pixel red picture in the plain-text PPM form, padded with blanks (which the format
// ignores) to exactly `size` bytes.
QByteArray ppmOfSize(qsizetype size)
{
    QByteArray bytes = "P3\n1 1\n255\n255 0 0\n";
    return bytes.append(size - bytes.size(), ' ');
}

// A real cover followed by zeros up to `size` bytes; PNG readers stop at the end chunk.
QByteArray paddedPng(qint64 size)
{
    QByteArray bytes = pngOf(Qt::red);
    return bytes.append(size - bytes.size(), '\0');
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

INSTANTIATE_TEST_SUITE_P(
    Limits, ArtworkFile,
    ::testing::Values(
        FileCase{"a cover file is read", [](auto& d) { return fileOf(d, pngOf(Qt::red)); }, true},
        FileCase{"a link to a cover file is read",
                 [](auto& d) {
                     return QFile::link(fileOf(d, pngOf(Qt::red)), d.filePath("l.png")) ? d.filePath("l.png") : "";
                 },
                 true},
        FileCase{"a missing file gives nothing", [](auto& d) { return d.filePath("missing.png"); }, false},
        FileCase{"a directory is not read",
                 [](auto& d) { return QDir(d.path()).mkdir("c.png") ? d.filePath("c.png") : QString(); }, false},
        FileCase{"a FIFO is not read, and opening it does not wait for a writer",
                 [](auto& d) {
                     return ::mkfifo(QFile::encodeName(d.filePath("f.png")), 0600) == 0 ? d.filePath("f.png") : "";
                 },
                 false},
        FileCase{"a file of 20 MiB is refused", [](auto& d) { return fileOf(d, paddedPng(20 * mebibyte)); }, false},
        FileCase{"a file just under 20 MiB is read", [](auto& d) { return fileOf(d, paddedPng(20 * mebibyte - 1)); },
                 true},
        FileCase{"32 bytes are no picture", [](auto& d) { return fileOf(d, ppmOfSize(32), "tiny.ppm"); }, false},
        FileCase{"33 bytes are one", [](auto& d) { return fileOf(d, ppmOfSize(33), "tiny.ppm"); }, true},
        FileCase{"bytes that are no picture give nothing", [](auto& d) { return fileOf(d, QByteArray(4096, 'x')); },
                 false}));

TEST(ArtworkBytes, ThePlayersBytesMustBeMoreThanThirtyTwoAndFewerThanTheCap)
{
    ArtworkLoader loader(ArtworkLimits{1s, 64 * 1024, 128});
    EXPECT_FALSE(isRedPicture(loader.load(ppmOfSize(32))));
    EXPECT_TRUE(isRedPicture(loader.load(ppmOfSize(33))));
    EXPECT_TRUE(isRedPicture(loader.load(paddedPng(64 * 1024 - 1))));
    EXPECT_FALSE(isRedPicture(loader.load(paddedPng(64 * 1024))));
    EXPECT_FALSE(loader.load(ArtworkLocation()));
    for (const char* format : {"PNG", "JPEG", "BMP", "PPM"})
        EXPECT_EQ(artwork::decodeArtwork(encoded(solidPicture(Qt::red), format), {}).value_or(QImage()).size(),
                  QSize(40, 40))
            << format;
}

TEST(ArtworkBytes, APictureTooLargeToDecodeIsRefusedFromItsHeader)
{
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
    ArtworkLoader loader(ArtworkLimits{500ms, smallCap, 128});
    EXPECT_EQ(isRedPicture(loader.load(server.baseUrl().resolved(QUrl(u"/cover"_s)))), GetParam().gives);
    EXPECT_EQ(server.requestsFor(u"/cover"_s).size(), 1);
}

LoopbackHttpServer::Reply reply(int status, QByteArray body, bool declareLength = true)
{
    return LoopbackHttpServer::Reply{status, std::move(body), {{"Content-Type", "image/png"}}, declareLength};
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Download,
    ::testing::Values(DownloadCase{"a picture with 200 is taken", reply(200, pngOf(Qt::red)), true},
                      DownloadCase{"a picture with 404 is taken too", reply(404, pngOf(Qt::red)), true},
                      DownloadCase{"a picture without a declared length is taken", reply(200, pngOf(Qt::red), false),
                                   true},
                      DownloadCase{"garbage is no picture", reply(200, QByteArray(5000, '\x7f')), false},
                      DownloadCase{"an empty body is no picture", reply(200, {}), false},
                      DownloadCase{"a server that never answers is given up at the time-out",
                                   LoopbackHttpServer::Reply::stalling(), false},
                      DownloadCase{"a body just under the cap is taken", reply(200, paddedPng(smallCap - 1)), true},
                      DownloadCase{"a declared body of the cap is refused", reply(200, paddedPng(smallCap)), false},
                      DownloadCase{"an undeclared body of the cap is cut off and refused",
                                   reply(200, paddedPng(smallCap), false), false}));

}  // namespace
