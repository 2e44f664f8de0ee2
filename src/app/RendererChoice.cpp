#include "app/RendererChoice.h"

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

RendererChoice chooseRenderer(bool configuredByUser, const std::optional<QString>& glRenderer)
{
    if (configuredByUser)
        return {SceneRenderer::asConfigured, QStringLiteral("as QT_QUICK_BACKEND or QSG_RHI_BACKEND asks")};
    if (!glRenderer)
        return {SceneRenderer::software, QStringLiteral("software — no OpenGL here")};
    if (isSoftwareRasterizer(*glRenderer))
        return {SceneRenderer::software,
                QStringLiteral("software — OpenGL here is drawn by the CPU (%1)").arg(*glRenderer)};
    return {SceneRenderer::openGL, QStringLiteral("OpenGL (%1)").arg(*glRenderer)};
}
