#include "overlay/OverlayTypes.h"

#include "overlay/LyricBand.h"

#include <QQmlEngine>
#include <QQuickWindow>
#include <QSurfaceFormat>

void registerOverlayTypes()
{
    static const bool registered = [] {
        qmlRegisterType<LyricBand>("Zuvik.Overlay", 1, 0, "LyricBand");
        QQuickWindow::setDefaultAlphaBuffer(true);
        // The overlay draws translucent pictures only, back to front: no depth or stencil
        // buffer to clear on every frame.
        QSurfaceFormat format = QSurfaceFormat::defaultFormat();
        format.setDepthBufferSize(0);
        format.setStencilBufferSize(0);
        QSurfaceFormat::setDefaultFormat(format);
        return true;
    }();
    Q_UNUSED(registered);
}
