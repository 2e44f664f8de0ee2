// Getting from an artwork location to a picture: which addresses are followed, which files are
// read, what a download server's answers give, and the limits on size.
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

using namespace std::chrono_literals;

namespace {

constexpr qint64 mebibyte = 1024 * 1024;

// A one-pixel red picture in the plain-text PPM form, padded with trailing blanks (which the
// format ignores) to exactly `size` bytes.
QByteArray ppmOfSize(qsizetype size)
{
    QByteArray bytes = "P3\n1 1\n255\n255 0 0\n";
    bytes.append(size - bytes.size(), ' ');
    return bytes;
}

// A real cover followed by zeros up to `size` bytes; PNG readers stop at the end chunk.
QByteArray paddedPng(qint64 size)
{
    QByteArray bytes = pngOf(Qt::red);
    bytes.append(size - bytes.size(), '\0');
    return bytes;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

bool isRedPicture(const std::optional<QImage>& picture)
{
    return picture && !picture->isNull() && picture->pixelColor(0, 0) == QColor(Qt::red);
}

struct AddressCase {
    const char* address;
    bool followed;

    friend void PrintTo(const AddressCase& c, std::ostream* out) { *out << '"' << c.address << '"'; }
};

class Address : public ::testing::TestWithParam<AddressCase> {};

TEST_P(Address, IsFollowedOnlyForWebAndLocalFiles)
{
    EXPECT_EQ(artwork::isFollowedAddress(QUrl(QString::fromUtf8(GetParam().address))), GetParam().followed)
        << GetParam().address;
}

INSTANTIATE_TEST_SUITE_P(Schemes, Address,
                         ::testing::Values(AddressCase{"http://covers.example/a.jpg", true},
                                           AddressCase{"https://i.scdn.co/image/ab67", true},
                                           AddressCase{"file:///home/me/.cache/cover.png", true},
                                           AddressCase{"file://localhost/tmp/cover.png", true},
                                           AddressCase{"file://fileserver/share/cover.png", false},
                                           AddressCase{"ftp://covers.example/a.jpg", false},
                                           AddressCase{"data:image/png;base64,iVBORw0KGgo=", false},
                                           AddressCase{"smb://nas/cover.png", false},
                                           AddressCase{"cover.png", false},
                                           AddressCase{"http:///a.jpg", false},
                                           AddressCase{"", false}));

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
    ArtworkLoader loader;
    const QString path = GetParam().make(dir);
    EXPECT_EQ(isRedPicture(loader.load(QUrl::fromLocalFile(path))), GetParam().gives) << GetParam().fault;
}

INSTANTIATE_TEST_SUITE_P(
    Limits, ArtworkFile,
    ::testing::Values(
        FileCase{"a cover file is read", [](auto& dir) { return writeFile(dir, "cover.png", pngOf(Qt::red)); }, true},
        FileCase{"a link to a cover file is read",
                 [](auto& dir) {
                     const QString target = writeFile(dir, "cover.png", pngOf(Qt::red));
                     QFile::link(target, dir.filePath("link.png"));
                     return dir.filePath("link.png");
                 },
                 true},
        FileCase{"a missing file gives nothing", [](auto& dir) { return dir.filePath("missing.png"); }, false},
        FileCase{"a directory is not read",
                 [](auto& dir) {
                     QDir(dir.path()).mkdir("cover.png");
                     return dir.filePath("cover.png");
                 },
                 false},
        FileCase{"a FIFO is not read, and opening it does not wait for a writer",
                 [](auto& dir) {
                     const QString path = dir.filePath("cover.png");
                     ::mkfifo(QFile::encodeName(path).constData(), 0600);
                     return path;
                 },
                 false},
        FileCase{"a file of 20 MiB is refused",
                 [](auto& dir) { return writeFile(dir, "big.png", paddedPng(20 * mebibyte)); }, false},
        FileCase{"a file just under 20 MiB is read",
                 [](auto& dir) { return writeFile(dir, "big.png", paddedPng(20 * mebibyte - 1)); }, true},
        FileCase{"32 bytes are no picture", [](auto& dir) { return writeFile(dir, "tiny.ppm", ppmOfSize(32)); }, false},
        FileCase{"33 bytes are one", [](auto& dir) { return writeFile(dir, "tiny.ppm", ppmOfSize(33)); }, true},
        FileCase{"bytes that are no picture give nothing",
                 [](auto& dir) { return writeFile(dir, "cover.png", QByteArray(4096, 'x')); }, false}));

TEST(ArtworkBytes, ThePlayersBytesMustBeMoreThanThirtyTwoAndFewerThanTheCap)
{
    ArtworkLoader loader(ArtworkLimits{1s, 64 * 1024, 128});
    EXPECT_FALSE(isRedPicture(loader.load(ppmOfSize(32))));
    EXPECT_TRUE(isRedPicture(loader.load(ppmOfSize(33))));
    EXPECT_TRUE(isRedPicture(loader.load(paddedPng(64 * 1024 - 1))));
    EXPECT_FALSE(isRedPicture(loader.load(paddedPng(64 * 1024))));
    EXPECT_FALSE(loader.load(ArtworkLocation()));
}

TEST(ArtworkBytes, CommonCoverFormatsDecode)
{
    for (const char* format : {"PNG", "JPEG", "BMP", "PPM"}) {
        const std::optional<QImage> picture = artwork::decodeArtwork(encoded(solidPicture(Qt::red), format), {});
        ASSERT_TRUE(picture) << format;
        EXPECT_EQ(picture->size(), QSize(40, 40)) << format;
    }
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
    server.setReply(QStringLiteral("/cover"), GetParam().reply);
    // The server answers from this thread's event loop, which the download's wait keeps running.
    ArtworkLoader loader(ArtworkLimits{500ms, smallCap, 128});
    const QUrl url = server.baseUrl().resolved(QUrl(QStringLiteral("/cover")));
    EXPECT_EQ(isRedPicture(loader.load(url)), GetParam().gives) << GetParam().fault;
    EXPECT_EQ(server.requestsFor(QStringLiteral("/cover")).size(), 1);
}

LoopbackHttpServer::Reply reply(int status, QByteArray body, bool declareLength = true)
{
    return LoopbackHttpServer::Reply{status, std::move(body), {{"Content-Type", "image/png"}}, declareLength};
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Download,
    ::testing::Values(DownloadCase{"a picture with 200 is taken", reply(200, pngOf(Qt::red)), true},
                      DownloadCase{"a picture with 404 is taken too", reply(404, pngOf(Qt::red)), true},
                      DownloadCase{"a picture with 500 is taken too", reply(500, pngOf(Qt::red)), true},
                      DownloadCase{"a picture without a declared length is taken",
                                   reply(200, pngOf(Qt::red), false), true},
                      DownloadCase{"garbage is no picture", reply(200, QByteArray(5000, '\x7f')), false},
                      DownloadCase{"an empty body is no picture", reply(200, {}), false},
                      DownloadCase{"a 404 page is no picture", reply(404, "<html>not found</html>"), false},
                      DownloadCase{"a server that never answers is given up at the time-out",
                                   LoopbackHttpServer::Reply::stalling(), false},
                      DownloadCase{"a body just under the cap is taken", reply(200, paddedPng(smallCap - 1)), true},
                      DownloadCase{"a declared body of the cap is refused", reply(200, paddedPng(smallCap)), false},
                      DownloadCase{"an undeclared body of the cap is cut off and refused",
                                   reply(200, paddedPng(smallCap), false), false}));

}  // namespace
