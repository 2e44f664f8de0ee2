#include "settings/ArtworkLoader.h"

#include "foundation/RefusingCookieJar.h"

#include <QBuffer>
#include <QEventLoop>
#include <QFile>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The server answered and the whole body arrived: no error, or an error that only reports the
// HTTP status (404, 500, ...). Transport failures, time-outs and aborts leave a partial body or none.
bool arrivedWhole(QNetworkReply::NetworkError error)
{
    return error == QNetworkReply::NoError
           || (error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError)
           || (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError);
}

std::optional<QImage> decodeWithinLimits(const QByteArray& bytes, const ArtworkLimits& limits)
{
    if (bytes.size() >= limits.maximumBytes)
        return std::nullopt;
    return artwork::decodeArtwork(bytes, limits);
}

}  // namespace

namespace artwork {

bool isFollowedAddress(const QUrl& url)
{
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme();
    if (scheme == u"http" || scheme == u"https")
        return !url.host().isEmpty();
    if (scheme == u"file")
        return (url.host().isEmpty() || url.host() == u"localhost") && !url.path().isEmpty();
    return false;
}

std::optional<QByteArray> readArtworkFile(const QString& path, qint64 maximumBytes)
{
    // Non-blocking, so that a FIFO cannot hold the artwork thread waiting for a writer; the type
    // is checked on the open file, so it cannot be swapped between the check and the read.
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return std::nullopt;
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size >= maximumBytes)
        return std::nullopt;
    // A file that grows while it is read is cut at the limit and refused.
    QByteArray bytes = file.read(maximumBytes);
    if (bytes.size() >= maximumBytes)
        return std::nullopt;
    return bytes;
}

std::optional<QImage> decodeArtwork(const QByteArray& bytes, const ArtworkLimits& limits)
{
    QBuffer device;
    device.setData(bytes);
    if (!device.open(QIODevice::ReadOnly))
        return std::nullopt;
    QImageReader reader(&device);
    // The header is read first: a hostile picture that claims a huge size costs nothing. Formats
    // that cannot tell their size up front are still bounded by Qt's own allocation limit.
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() * 4 > limits.decodedMiB * 1024 * 1024)
        return std::nullopt;
    QImage picture;
    if (!reader.read(&picture) || picture.isNull())
        return std::nullopt;
    return picture;
}

}  // namespace artwork

ArtworkLoader::ArtworkLoader(ArtworkLimits limits)
    : m_limits(limits)
{}

ArtworkLoader::~ArtworkLoader() = default;

std::optional<QImage> ArtworkLoader::load(const ArtworkLocation& location)
{
    if (const auto* bytes = std::get_if<QByteArray>(&location)) {
        if (bytes->size() < minimumArtworkBytes)
            return std::nullopt;
        return decodeWithinLimits(*bytes, m_limits);
    }
    const auto* url = std::get_if<QUrl>(&location);
    if (!url || !artwork::isFollowedAddress(*url))
        return std::nullopt;
    if (url->isLocalFile()) {
        const std::optional<QByteArray> bytes = artwork::readArtworkFile(url->toLocalFile(), m_limits.maximumBytes);
        if (!bytes || bytes->size() < minimumArtworkBytes)
            return std::nullopt;
        return artwork::decodeArtwork(*bytes, m_limits);
    }
    return downloadImage(*url);
}

std::optional<QImage> ArtworkLoader::downloadImage(const QUrl& url)
{
    if (!m_session) {
        // Nothing on disk: Qt's manager has no cache unless given one, and its cookies go nowhere.
        m_session = std::make_unique<QNetworkAccessManager>();
        m_session->setCookieJar(new RefusingCookieJar(m_session.get()));
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(static_cast<int>(m_limits.downloadTimeout.count()));
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    const std::unique_ptr<QNetworkReply> reply(m_session->get(request));

    QByteArray body;
    bool tooLarge = false;
    const auto refuse = [&] {
        tooLarge = true;
        reply->abort();
    };
    QEventLoop wait;
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, &wait, [&] {
        bool declared = false;
        const qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&declared);
        if (declared && length >= m_limits.maximumBytes)
            refuse();
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &wait, [&] {
        body += reply->readAll();
        if (body.size() >= m_limits.maximumBytes)
            refuse();
    });
    QObject::connect(reply.get(), &QNetworkReply::finished, &wait, &QEventLoop::quit);
    QTimer::singleShot(m_limits.downloadTimeout, &wait, &QEventLoop::quit);
    if (!reply->isFinished())
        wait.exec();

    // A late answer no longer matters; abort() also ends a reply that the thread's stop cut short.
    const bool finished = reply->isFinished();
    reply->disconnect(&wait);
    if (!finished) {
        reply->abort();
        return std::nullopt;
    }
    if (tooLarge || !arrivedWhole(reply->error()))
        return std::nullopt;
    body += reply->readAll();
    if (body.isEmpty())
        return std::nullopt;
    return decodeWithinLimits(body, m_limits);
}
