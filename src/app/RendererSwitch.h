#pragma once

#include "app/RendererChoice.h"

#include <QObject>
#include <QStringList>

#include <optional>

class AppSettings;

// Follows the look chosen in the menu: when the new look wants the other renderer (the fisheye
// lens needs OpenGL; Ship and Visual draw cheaper in software where OpenGL has no GPU), the
// application starts a new copy of itself with the same arguments and quits, since the renderer
// cannot change inside a running process.
class RendererSwitch : public QObject {
    Q_OBJECT
public:
    // `arguments`: the command line as given, the program first.
    RendererSwitch(SceneRenderer running, std::optional<QString> glRenderer, QStringList arguments,
                   AppSettings& settings, QObject* parent = nullptr);

private:
    void follow(LyricStyle style);
    void restart(const QString& reason);

    SceneRenderer m_running;
    std::optional<QString> m_glRenderer;
    QStringList m_arguments;
    bool m_restarting = false;
};
