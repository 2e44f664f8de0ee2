#include "platform/mpris/MprisPlayerState.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QStringList>

#include <cmath>

namespace {

QVariantMap variantMap(const QVariant& value)
{
    if (value.canConvert<QDBusArgument>()) {
        const auto argument = value.value<QDBusArgument>();
        if (argument.currentSignature() == u"a{sv}")
            return qdbus_cast<QVariantMap>(argument);
        return {};
    }
    return value.typeId() == QMetaType::QVariantMap ? value.toMap() : QVariantMap();
}

std::optional<double> length(const MprisPlayerState& state)
{
    return mprisSeconds(state.metadata.value(QStringLiteral("mpris:length")));
}

QString numberField(std::optional<double> seconds) { return seconds ? replyNumber(*seconds) : QString(); }

double toMicrosecond(double seconds) { return std::round(seconds * 1e6) / 1e6; }

}  // namespace

MprisPlayerState mprisPlayerState(const QVariantMap& properties)
{
    const QVariant status = properties.value(QStringLiteral("PlaybackStatus"));
    return MprisPlayerState{status.typeId() == QMetaType::QString ? status.toString() : QString(),
                            variantMap(properties.value(QStringLiteral("Metadata"))),
                            properties.value(QStringLiteral("Position"))};
}

QString mprisText(const QVariant& value)
{
    QString text;
    if (value.typeId() == QMetaType::QString)
        text = value.toString();
    else if (value.typeId() == QMetaType::QStringList)
        text = value.toStringList().join(QStringLiteral(", "));
    else if (value.canConvert<QDBusArgument>() && value.value<QDBusArgument>().currentSignature() == u"as")
        text = qdbus_cast<QStringList>(value.value<QDBusArgument>()).join(QStringLiteral(", "));
    text.replace(u'\t', u' ');
    text.replace(u'\n', u' ');
    return text;
}

std::optional<double> mprisSeconds(const QVariant& microseconds)
{
    if (!isMprisNumber(microseconds))
        return std::nullopt;
    const double value = microseconds.toDouble();
    if (!std::isfinite(value) || value < 0)
        return std::nullopt;
    return value / 1e6;
}

QString replyNumber(double seconds)
{
    QString text = QString::number(seconds, 'f', 6);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text == u"-0" ? QStringLiteral("0") : text;
}

NowPlayingTrack mprisTrack(const MprisPlayerState& state)
{
    const std::optional<double> seconds = length(state);
    return NowPlayingTrack{mprisText(state.metadata.value(QStringLiteral("xesam:title"))),
                           mprisText(state.metadata.value(QStringLiteral("xesam:artist"))),
                           seconds ? toMicrosecond(*seconds) : std::nan(""),
                           mprisText(state.metadata.value(QStringLiteral("xesam:url")))};
}

PlayerReading mprisReading(QStringView source, const MprisPlayerState& state, std::optional<double> position)
{
    const NowPlayingTrack track = mprisTrack(state);
    const bool playing = state.status == u"Playing";
    const QChar tab = u'\t';
    QString summary = source.toString() + tab + track.title + tab + track.artist + tab + numberField(length(state))
                      + tab + numberField(position) + tab
                      + (playing ? QStringLiteral("true") : QStringLiteral("false"));
    if (!track.url.isEmpty())
        summary += tab + track.url;
    if (std::isnan(track.duration) || !position)
        return PlayerReading{summary, std::nullopt};
    return PlayerReading{summary, PlayerSample{source.toString(), track.title, track.artist, track.duration,
                                               toMicrosecond(*position), playing, QDateTime(), track.url}};
}

bool isAdvertisement(const MprisPlayerState& state)
{
    const QVariant trackId = state.metadata.value(QStringLiteral("mpris:trackid"));
    const QString id = trackId.metaType() == QMetaType::fromType<QDBusObjectPath>()
                           ? trackId.value<QDBusObjectPath>().path()
                           : trackId.toString();
    return id.contains(u"/ad/") || id.contains(u":ad:");
}

bool isMprisNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}
