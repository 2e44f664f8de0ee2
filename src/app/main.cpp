#include "app/AppRuntime.h"
#include "app/AppServices.h"
#include "app/cli/AppOptions.h"
#include "foundation/DiagLog.h"
#include "app/DisplayChoice.h"
#include "app/GlProbe.h"
#include "app/cli/LyricsCommand.h"
#include "app/cli/OffsetCommand.h"
#include "app/RendererChoice.h"
#include "app/cli/SettingsCommand.h"
#include "app/SingleInstance.h"
#include "app/cli/StillFrame.h"
#include "app/cli/VisualCommand.h"
#include "platform/dbus/MenuRequestBus.h"
#include "platform/wayland/WaylandProbe.h"
#include "platform/x11/X11Connection.h"
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
constexpr int cannotDrawStatus = 1;

void complain(const QString& message) { std::fprintf(stderr, "zuvik: %s\n", qPrintable(message)); }

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("zuvik"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZUVIK_VERSION));
}

// Qt aborts when it cannot open its platform, so the session is looked at first: a Wayland
// compositor's layer shell, an X server that answers, or a plain word on what is missing.
DisplayChoice chooseDisplay(const AppOptions& options)
{
    const DisplayEnvironment environment = displayEnvironment();
    const auto x11Answers = [&environment] {
        return !environment.x11Display.isEmpty() && x11DisplayAnswers(environment.x11Display);
    };
    if (options.still)
        return stillFrameDisplay(environment, x11Answers);
    SessionFacts facts{std::nullopt, x11Answers};
    if (!environment.waylandDisplay.isEmpty() && options.overlay != OverlayRequest::x11)
        facts.compositor = probeWaylandCompositor(environment.waylandDisplay);
    return overlayDisplay(environment, options.overlay, facts);
}

// Chosen once, before the first window is made; the log says which and why. Layer-shell
// overlays are drawn on the CPU straight into memory the compositor shares.
void chooseAndUseRenderer(OverlayKind overlays)
{
    if (overlays == OverlayKind::layerShell) {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        DiagLog::log(QStringLiteral("renderer: software — layer-shell overlays are drawn into shared memory"));
        return;
    }
    const bool configured = !qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")
                            || !qEnvironmentVariableIsEmpty("QSG_RHI_BACKEND");
    const std::optional<QString> gl = configured ? std::nullopt
                                                 : gl_probe::askRenderer(QCoreApplication::applicationFilePath());
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
    if (result.outcome == MenuRequestOutcome::refused) {
        complain(result.message);
        return notRunningStatus;
    }
    std::fprintf(stderr, "zuvik: %s — start Zuvik first, then run 'zuvik --menu'\n", qPrintable(result.message));
    return notRunningStatus;
}

// Terminal commands need no display: they run on a plain application object, without a
// windowing platform, from a terminal, over SSH or from cron alike.
std::optional<int> runTerminalCommand(int argc, char* argv[], const QStringList& arguments)
{
    using Command = int (*)(const QStringList&, AppServices&);
    Command command = nullptr;
    if (isSettingsCommand(arguments))
        command = [](const QStringList& words, AppServices& services) {
            return runSettingsCommand(words, services.startAtLogin());
        };
    else if (isOffsetCommand(arguments))
        command = [](const QStringList& words, AppServices&) {
            return runOffsetCommand(words, SingleInstance::busName);
        };
    else if (isVisualCommand(arguments))
        command = [](const QStringList& words, AppServices& services) {
            return runVisualCommand(words, services.wordVisualSources(), services.keywords());
        };
    else if (isLyricsCommand(arguments))
        command = [](const QStringList& words, AppServices& services) {
            return runLyricsCommand(words, SingleInstance::busName, services);
        };
    if (!command)
        return std::nullopt;
    QCoreApplication app(argc, argv);
    nameApplication();
    AppServices services;
    return command(arguments, services);
}

// --help, --version, a usage error and --menu: answered without a display as well.
std::optional<int> answerFromTerminal(int argc, char* argv[], const std::variant<AppOptions, QString>& parsed)
{
    const AppOptions* options = std::get_if<AppOptions>(&parsed);
    if (options && !options->help && !options->version && !options->menu)
        return std::nullopt;
    QCoreApplication app(argc, argv);
    nameApplication();
    if (!options) {
        complain(std::get<QString>(parsed));
        return badArgumentsStatus;
    }
    if (options->help) {
        std::fputs(qPrintable(appHelpText()), stdout);
        return 0;
    }
    if (options->version) {
        std::printf("zuvik %s\n", ZUVIK_VERSION);
        return 0;
    }
    return askForMenu();
}

}  // namespace

int main(int argc, char* argv[])
{
    const QStringList arguments = argumentsAsGiven(argc, argv);
    if (const std::optional<int> status = runTerminalCommand(argc, argv, arguments))
        return *status;
    // Every log line also goes to standard error, which may be a pipe whose reader has gone (a
    // terminal since closed): such a write must fail quietly rather than end the process.
    std::signal(SIGPIPE, SIG_IGN);
    if (gl_probe::isProbe(arguments)) {
        QGuiApplication app(argc, argv);
        return gl_probe::printRenderer();
    }
    const auto parsed = parseAppOptions(arguments);
    if (const std::optional<int> status = answerFromTerminal(argc, argv, parsed))
        return *status;
    const AppOptions& options = std::get<AppOptions>(parsed);
    const DisplayChoice display = chooseDisplay(options);
    if (display.problem) {
        complain(*display.problem);
        return cannotDrawStatus;
    }
    applyDisplayChoice(display);

    std::vector<char*> qtArgv = withoutStyleOption(argc, argv);
    int qtArgc = static_cast<int>(qtArgv.size()) - 1;
    QApplication app(qtArgc, qtArgv.data());
    nameApplication();
    QApplication::setQuitOnLastWindowClosed(false);
    // Made after the application object, which the services need, and gone before it.
    AppServices services;
    if (options.still)
        return renderStillFrame(*options.still, options.style, services);

    if (SingleInstance().claim() == SingleInstance::Claim::anotherIsRunning) {
        DiagLog::log(QStringLiteral("another Orvane instance is running — exiting this one"));
        DiagLog::shared().waitUntilWritten();
        return 0;
    }
    DiagLog::log(QStringLiteral("overlay: ") + display.reason);
    chooseAndUseRenderer(display.overlays);
    AppRuntime runtime(options, display.overlays, services);
    runtime.start();
    return QApplication::exec();
}
