#include "app/GlProbe.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QProcess>

#include <cstdio>

namespace gl_probe {

bool isProbe(const QStringList& arguments) { return arguments.size() == 2 && arguments.at(1) == option; }

int printRenderer()
{
    QOpenGLContext context;
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!context.create() || !context.makeCurrent(&surface))
        return 1;
    const auto* name = reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
    if (!name)
        return 1;
    std::printf("%s\n", name);
    return 0;
}

std::optional<QString> askRenderer(const QString& executable, int timeoutMs)
{
    QProcess probe;
    probe.setProcessChannelMode(QProcess::SeparateChannels);
    probe.start(executable, {option});
    if (!probe.waitForFinished(timeoutMs)) {
        probe.kill();
        probe.waitForFinished(1000);
        return std::nullopt;
    }
    if (probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        return std::nullopt;
    const QString name = QString::fromUtf8(probe.readAllStandardOutput()).trimmed();
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

}  // namespace gl_probe
