#pragma once

#include <QString>

#include <optional>

// Which of Qt Quick's renderers draws the overlays. It is fixed for the life of the process, so it
// is chosen before the first window, from the machine alone: every look draws on either.
//
// Measured on a machine without a GPU (bench/e2e): Qt Quick's software adaptation draws every look
// for less CPU per frame than OpenGL drawn by the CPU (llvmpipe) and less than half its memory,
// with the same picture (the lens warped on the CPU); with a GPU, OpenGL costs the CPU least.
enum class SceneRenderer {
    asConfigured,  // QT_QUICK_BACKEND or QSG_RHI_BACKEND chose; Zuvik leaves it alone
    openGL,
    software,
};

struct RendererChoice {
    SceneRenderer renderer = SceneRenderer::openGL;
    QString reason;  // for the log, after "renderer: "
};

// Whether an OpenGL renderer string (GL_RENDERER) names one that draws with the CPU.
bool isSoftwareRasterizer(const QString& glRenderer);

// `glRenderer`: what OpenGL reports here, or nothing when no OpenGL context could be made.
RendererChoice chooseRenderer(bool configuredByUser, const std::optional<QString>& glRenderer);
