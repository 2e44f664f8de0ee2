#include "app/DisplayIdentity.h"

#include "lyrics/CacheFileName.h"

quint32 displayIdFor(const ScreenDescription& screen)
{
    // U+001F between the parts, so that ("ab", "c") and ("a", "bc") differ.
    const QChar separator(0x1F);
    QString key = screen.manufacturer + separator + screen.model + separator + screen.serialNumber;
    if (screen.serialNumber.isEmpty())
        key += separator + screen.connectorName;
    const quint32 id = fnv1a32(key.toUtf8());
    return id == 0 ? 1 : id;
}
