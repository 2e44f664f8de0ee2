#include "app/AppOptions.h"
#include "app/AppRuntime.h"
#include "app/DiagLog.h"
#include "app/GlProbe.h"
#include "app/LyricsCommand.h"
#include "app/OffsetCommand.h"
#include "app/RendererChoice.h"
#include "app/SettingsCommand.h"
#include "app/SingleInstance.h"
#include "app/StillFrame.h"
#include "app/VisualCommand.h"
#include "platform/dbus/MenuRequestBus.h"
#include "settings/AppSettings.h"

#include <QApplication>
#include <QQuickWindow>

#include <csignal>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

namespace {

constexpr int badArgumentsStatus = 2;
constexpr int notRunningStatus = 1;

// The overlay windows are X11 windows; under a Wayland session they run through XWayland, which
// keeps them above other windows and out of the way of the pointer as X11 does.
void preferX11()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

// Chosen once, before the first window is made; the log says which and why.
void chooseAndUseRenderer()
{
    const bool configured =
        !qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND") || !qEnvironmentVariableIsEmpty("QSG_RHI_BACKEND");
    const std::optional<QString> gl =
        configured ? std::nullopt : gl_probe::askRenderer(QCoreApplication::applicationFilePath());
    const RendererChoice choice = chooseRenderer(configured, gl);
    if (choice.renderer != SceneRenderer::asConfigured)
        QQuickWindow::setGraphicsApi(choice.renderer == SceneRenderer::software ? QSGRendererInterface::Software
                                                                                : QSGRendererInterface::OpenGL);
    DiagLog::log(QStringLiteral("renderer: ") + choice.reason);
}

// Qt's own -style option (the widget style) would take our --style: the arguments are kept as
// given for our parser, and Qt gets them without it.
std::vector<char*> withoutStyleOption(int argc, char* argv[])
{
    std::vector<char*> kept;
    for (int i = 0; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (i > 0 && (argument == "--style" || argument == "-style")) {
            ++i;  // and its value
            continue;
        }
        if (i > 0 && (argument.starts_with("--style=") || argument.starts_with("-style=")))
            continue;
        kept.push_back(argv[i]);
    }
    kept.push_back(nullptr);
    return kept;
}

QStringList argumentsAsGiven(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

// `zuvik --menu`: the running copy opens its menu; this one only asks.
int askForMenu()
{
    const MenuRequestResult result = requestMenuPopup(SingleInstance::busName);
    if (result.outcome == MenuRequestOutcome::shown)
        return 0;
    std::fprintf(stderr, "zuvik: %s — start Zuvik first, then run 'zuvik --menu'\n", qPrintable(result.message));
    return notRunningStatus;
}

}  // namespace

int main(int argc, char* argv[])
{
    const QStringList arguments = argumentsAsGiven(argc, argv);
    if (isSettingsCommand(arguments)) {
        // A terminal command: no display needed.
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("zuvik"));
        return runSettingsCommand(arguments);
    }
    if (isOffsetCommand(arguments)) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("zuvik"));
        return runOffsetCommand(arguments, SingleInstance::busName);
    }
    if (isVisualCommand(arguments)) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("zuvik"));
        return runVisualCommand(arguments, WordVisualResolver::defaultSources());
    }
    preferX11();
    // Every log line also goes to standard error, which may be a pipe whose reader has gone, as
    // for a copy started from a terminal since closed: such a write must fail quietly rather than
    // end the process.
    std::signal(SIGPIPE, SIG_IGN);
    if (gl_probe::isProbe(arguments)) {
        QGuiApplication app(argc, argv);
        return gl_probe::printRenderer();
    }
    std::vector<char*> qtArgv = withoutStyleOption(argc, argv);
    int qtArgc = static_cast<int>(qtArgv.size()) - 1;
    QApplication app(qtArgc, qtArgv.data());
    QApplication::setApplicationName(QStringLiteral("zuvik"));
    QApplication::setApplicationVersion(QStringLiteral(ZUVIK_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);

    if (isLyricsCommand(arguments))
        return runLyricsCommand(arguments, SingleInstance::busName);

    const auto parsed = parseAppOptions(arguments);
    if (const QString* error = std::get_if<QString>(&parsed)) {
        std::fprintf(stderr, "zuvik: %s\n", qPrintable(*error));
        return badArgumentsStatus;
    }
    const AppOptions& options = std::get<AppOptions>(parsed);
    if (options.still)
        return renderStillFrame(*options.still, options.style);
    if (options.menu)
        return askForMenu();

    if (SingleInstance().claim() == SingleInstance::Claim::anotherIsRunning) {
        DiagLog::log(QStringLiteral("another Orvane instance is running — exiting this one"));
        DiagLog::shared().waitUntilWritten();
        return 0;
    }
    chooseAndUseRenderer();
    AppRuntime runtime(options);
    runtime.start();
    return QApplication::exec();
}
