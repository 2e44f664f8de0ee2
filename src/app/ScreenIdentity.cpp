#include "app/ScreenIdentity.h"

#include "app/DisplayIdentity.h"

#include <QScreen>
#include <QStringList>

quint32 displayIdOf(const QScreen& screen)
{
    return displayIdFor({screen.name(), screen.manufacturer(), screen.model(), screen.serialNumber()});
}

QString displayNameOf(const QScreen& screen)
{
    const QString product = QStringList{screen.manufacturer(), screen.model()}.join(u' ').trimmed();
    return product.isEmpty() ? screen.name() : product;
}
