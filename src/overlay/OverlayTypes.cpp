#include "overlay/OverlayTypes.h"

#include "overlay/LyricBand.h"

#include <QQmlEngine>
#include <QQuickWindow>

void registerOverlayTypes()
{
    static const bool registered = [] {
        qmlRegisterType<LyricBand>("Zuvik.Overlay", 1, 0, "LyricBand");
        QQuickWindow::setDefaultAlphaBuffer(true);
        return true;
    }();
    Q_UNUSED(registered);
}
