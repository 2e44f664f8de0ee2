#include "platform/mpris/MprisReplyRecord.h"

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


QString durationField(const MprisPlayerState& state)
{
    const std::optional<double> length = mprisSeconds(state.metadata.value(QStringLiteral("mpris:length")));
    return length ? replyNumber(*length) : QString();
}

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

QString mprisReplyRecord(QStringView source, const MprisPlayerState& state, std::optional<double> position)
{
    const QChar tab = u'\t';
    QString record = source.toString() + tab + mprisTrackKey(state) + tab
        + (position ? replyNumber(*position) : QString()) + tab
        + (state.status == u"Playing" ? QStringLiteral("true") : QStringLiteral("false"));
    // Only a player that names its file gets the seventh field; other records stay as they were.
    const QString url = mprisText(state.metadata.value(QStringLiteral("xesam:url")));
    if (!url.isEmpty())
        record += tab + url;
    return record;
}

QString mprisTrackKey(const MprisPlayerState& state)
{
    const QChar tab = u'\t';
    return mprisText(state.metadata.value(QStringLiteral("xesam:title"))) + tab
        + mprisText(state.metadata.value(QStringLiteral("xesam:artist"))) + tab + durationField(state);
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
