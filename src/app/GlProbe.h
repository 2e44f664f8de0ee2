#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What OpenGL reports as its renderer here (GL_RENDERER), asked of a child process so that the
// driver's libraries and memory never enter the application itself, and a driver that crashes
// takes only the child with it.
namespace gl_probe {

inline const QString option = QStringLiteral("--gl-renderer");

bool isProbe(const QStringList& arguments);

// The child's side: prints the renderer on one line; exit status 0, or 1 with no context.
// Needs a QGuiApplication.
int printRenderer();

// The parent's side: runs `executable --gl-renderer`; nothing when it fails or takes too long.
std::optional<QString> askRenderer(const QString& executable, int timeoutMs = 5000);

}  // namespace gl_probe
