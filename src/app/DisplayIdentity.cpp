#include "app/DisplayIdentity.h"

namespace {

quint32 fnv1a(const QByteArray& bytes)
{
    quint32 hash = 2166136261u;
    for (char byte : bytes) {
        hash ^= quint8(byte);
        hash *= 16777619u;
    }
    return hash;
}

}  // namespace

quint32 displayIdFor(const ScreenDescription& screen)
{
    // U+001F between the parts, so that ("ab", "c") and ("a", "bc") differ.
    const QChar separator(0x1F);
    QString key = screen.manufacturer + separator + screen.model + separator + screen.serialNumber;
    if (screen.serialNumber.isEmpty())
        key += separator + screen.connectorName;
    const quint32 id = fnv1a(key.toUtf8());
    return id == 0 ? 1 : id;
}
