#pragma once

#include "settings/SettingsEnums.h"

#include <QString>

#include <optional>

// Which of Qt Quick's renderers draws the overlays. It is fixed for the life of the process, so it
// is chosen before the first window from the look that will be drawn.
//
// Measured on a machine without a GPU: Qt Quick's software adaptation draws Ship and Visual for
// about a sixth less CPU per frame and less than half the memory of OpenGL drawn by the CPU
// (llvmpipe), with the same picture. It cannot draw the fisheye lens, so the fisheye looks keep
// OpenGL; with a GPU, OpenGL costs the CPU least in every look.
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
RendererChoice chooseRenderer(bool configuredByUser, LyricStyle style, const std::optional<QString>& glRenderer);
