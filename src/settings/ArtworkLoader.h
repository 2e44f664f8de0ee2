#pragma once

#include "playback/ArtworkSource.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QUrl>

#include <chrono>
#include <memory>
#include <optional>

class QNetworkAccessManager;

// How far the loader goes for one picture. The defaults are the application's; tests shorten them.
struct ArtworkLimits {
    // A download that has not completed by then gives nothing; the request's own transfer
    // time-out is the same.
    std::chrono::milliseconds downloadTimeout = std::chrono::seconds(10);
    // A picture's encoded bytes must be fewer than this, whether read from a file, downloaded or
    // handed over by the player: covers are well under a megabyte, and anything this large is
    // not a cover.
    qint64 maximumBytes = 20 * 1024 * 1024;
    // The decoded picture, at 4 bytes per pixel (the shrink works on 32-bit pixels), must fit in
    // this many MiB; a header that promises more is refused before anything is decoded.
    qint64 decodedMiB = 128;
};

// Bytes handed over by the player (or read from a file) must be more than this to count as a
// picture: shorter answers are placeholders, not artwork.
constexpr qsizetype minimumArtworkBytes = 33;

namespace artwork {

// The addresses the loader follows: http, https and file. Anything else (data:, ftp:, a relative
// path, a file on another host) is not fetched.
bool isFollowedAddress(const QUrl& url);

// The bytes of a regular file with fewer than maximumBytes bytes; nothing for a missing file, a
// directory, a FIFO, a device or a file too large. Opening never blocks, even on a FIFO.
std::optional<QByteArray> readArtworkFile(const QString& path, qint64 maximumBytes);

// The picture in bytes, in any format Qt reads (decided from the content); nothing when the
// bytes do not decode or the picture would take more than limits.decodedMiB.
std::optional<QImage> decodeArtwork(const QByteArray& bytes, const ArtworkLimits& limits);

}  // namespace artwork

// Turns an artwork location into a decoded picture: downloads web addresses, reads files and
// decodes bytes. Blocking; it lives on the artwork thread, whose event loop it runs while it
// waits for a download.
class ArtworkLoader {
public:
    explicit ArtworkLoader(ArtworkLimits limits = {});
    ~ArtworkLoader();
    ArtworkLoader(const ArtworkLoader&) = delete;
    ArtworkLoader& operator=(const ArtworkLoader&) = delete;

    std::optional<QImage> load(const ArtworkLocation& location);
    // The picture at an http(s) address. The status is not looked at: any body that arrived
    // whole and decodes is taken.
    std::optional<QImage> downloadImage(const QUrl& url);

private:
    const ArtworkLimits m_limits;
    std::unique_ptr<QNetworkAccessManager> m_session;  // made on the first download, on its thread
};
