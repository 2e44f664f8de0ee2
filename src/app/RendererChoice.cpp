#include "app/RendererChoice.h"

#include "overlay/StyleTraits.h"

#include <array>

bool isSoftwareRasterizer(const QString& glRenderer)
{
    // Mesa's llvmpipe and softpipe, its older swrast ("Software Rasterizer"), and the
    // OpenSWR rasteriser.
    static const std::array<QString, 4> names = {QStringLiteral("llvmpipe"), QStringLiteral("softpipe"),
                                                 QStringLiteral("software rasterizer"), QStringLiteral("swr")};
    const QString lower = glRenderer.toLower();
    for (const QString& name : names) {
        if (lower.startsWith(name) || lower.contains(u' ' + name) || lower.contains(u'(' + name))
            return true;
    }
    return false;
}

RendererChoice chooseRenderer(bool configuredByUser, LyricStyle style, const std::optional<QString>& glRenderer)
{
    const QString look = rawValue(style);
    if (configuredByUser)
        return {SceneRenderer::asConfigured, QStringLiteral("as QT_QUICK_BACKEND or QSG_RHI_BACKEND asks")};
    if (!glRenderer)
        return {SceneRenderer::software,
                QStringLiteral("software — no OpenGL here; the fisheye looks are drawn without their lens")};
    if (styleTraits(style).isFisheye)  // seen through the lens
        return {SceneRenderer::openGL, QStringLiteral("OpenGL (%1) for the %2 look's lens").arg(*glRenderer, look)};
    if (isSoftwareRasterizer(*glRenderer))
        return {SceneRenderer::software,
                QStringLiteral("software for the %1 look — OpenGL here is drawn by the CPU (%2)").arg(look, *glRenderer)};
    return {SceneRenderer::openGL, QStringLiteral("OpenGL (%1)").arg(*glRenderer)};
}
