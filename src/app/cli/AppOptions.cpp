#include "app/cli/AppOptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include <cmath>

namespace {

constexpr int largestStillSide = 8192;

std::optional<QSize> sizeFromText(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
    const auto match = pattern.match(text.trimmed().toLower());
    if (!match.hasMatch())
        return std::nullopt;
    const QSize size(match.captured(1).toInt(), match.captured(2).toInt());
    if (size.width() < 1 || size.height() < 1 || size.width() > largestStillSide || size.height() > largestStillSide)
        return std::nullopt;
    return size;
}

std::optional<double> secondsFromText(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0)
        return std::nullopt;
    return value;
}

struct Parser {
    QCommandLineParser parser;
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Displays help on commandline options.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Displays version information.")};
    QCommandLineOption demo{QStringLiteral("demo"),
                            QStringLiteral("Play the built-in demo song instead of following a player.")};
    QCommandLineOption menu{
        QStringLiteral("menu"),
        QStringLiteral("Open the running Zuvik's menu at the pointer (for desktops without a tray).")};
    QCommandLineOption style{QStringLiteral("style"),
                             QStringLiteral("Draw in this look for this run: ship, fisheye, visual or fisheye-visual."),
                             QStringLiteral("NAME")};
    QCommandLineOption overlay{QStringLiteral("overlay"),
                               QStringLiteral("Draw the overlays as x11 windows (XWayland under Wayland) or as wayland "
                                              "layer-shell surfaces, rather than as the session allows."),
                               QStringLiteral("x11|wayland")};
    QCommandLineOption still{QStringLiteral("render-frame"), QStringLiteral("Render one frame to a PNG file and exit."),
                             QStringLiteral("OUT.png")};
    QCommandLineOption at{QStringLiteral("at"), QStringLiteral("The playback position of the frame, in seconds."),
                          QStringLiteral("SECONDS")};
    QCommandLineOption size{QStringLiteral("size"),
                            QStringLiteral("The display size of the frame (default 1920x1080)."),
                            QStringLiteral("WxH")};
    QCommandLineOption background{QStringLiteral("background"),
                                  QStringLiteral("Fill the frame with this colour (default: transparent)."),
                                  QStringLiteral("COLOR")};
    QCommandLineOption artist{QStringLiteral("artist"),
                              QStringLiteral("Render this track's lyrics instead of the demo."), QStringLiteral("A")};
    QCommandLineOption title{QStringLiteral("title"), QStringLiteral("The track's title."), QStringLiteral("T")};
    QCommandLineOption duration{QStringLiteral("duration"), QStringLiteral("The track's length in seconds."),
                                QStringLiteral("S")};

    Parser()
    {
        parser.setApplicationDescription(
            QStringLiteral("Shows the lyrics of the playing song, word by word, as an overlay on every display."));
        parser.addOptions(
            {help, version, demo, menu, style, overlay, still, at, size, background, artist, title, duration});
        parser.addPositionalArgument(QStringLiteral("lyrics"),
                                     QStringLiteral("Look up one track's lyrics and print them (zuvik lyrics --help)."),
                                     QStringLiteral("[lyrics ...]"));
        parser.addPositionalArgument(QStringLiteral("set"), QStringLiteral("Change a setting (zuvik set --help)."),
                                     QStringLiteral("[set KEY VALUE]"));
        parser.addPositionalArgument(QStringLiteral("get"), QStringLiteral("Show the settings, or one of them."),
                                     QStringLiteral("[get [KEY]]"));
        parser.addPositionalArgument(QStringLiteral("offset"),
                                     QStringLiteral("Move the playing track's lyrics in time (zuvik offset --help)."),
                                     QStringLiteral("[offset SECONDS]"));
        parser.addPositionalArgument(QStringLiteral("visual"), QStringLiteral("Show the pictograms found for words."),
                                     QStringLiteral("[visual WORD...]"));
    }

    std::variant<StillRequest, QString> stillRequest() const
    {
        StillRequest request;
        request.outputPath = parser.value(still);
        if (!parser.isSet(at))
            return QStringLiteral("--render-frame needs --at SECONDS");
        const auto seconds = secondsFromText(parser.value(at));
        if (!seconds)
            return QStringLiteral("--at wants a number of seconds of 0 or more, not \"%1\"").arg(parser.value(at));
        request.at = *seconds;
        if (parser.isSet(size)) {
            const auto parsed = sizeFromText(parser.value(size));
            if (!parsed)
                return QStringLiteral("--size wants WIDTHxHEIGHT (1 to %1 each), not \"%2\"")
                    .arg(largestStillSide)
                    .arg(parser.value(size));
            request.size = *parsed;
        }
        if (parser.isSet(background)) {
            request.background = QColor::fromString(parser.value(background));
            if (!request.background.isValid())
                return QStringLiteral("--background wants a colour such as #202830, not \"%1\"")
                    .arg(parser.value(background));
        }
        if (parser.isSet(artist) != parser.isSet(title))
            return QStringLiteral("--artist and --title go together");
        request.artist = parser.value(artist);
        request.title = parser.value(title);
        if (parser.isSet(duration)) {
            const auto length = trackDurationFromText(parser.value(duration));
            if (!length)
                return QStringLiteral("--duration wants a number of seconds above 0 and up to %1, not \"%2\"")
                    .arg(longestTrackSeconds)
                    .arg(parser.value(duration));
            request.duration = *length;
        }
        return request;
    }
};

}  // namespace

std::optional<double> trackDurationFromText(const QString& text)
{
    const std::optional<double> seconds = secondsFromText(text);
    if (!seconds || *seconds <= 0 || *seconds > longestTrackSeconds)
        return std::nullopt;
    return seconds;
}

std::optional<LyricStyle> styleFromName(const QString& name)
{
    const QString key = name.trimmed().toLower().remove(u' ').remove(u'-').remove(u'_');
    for (const LyricStyle style :
         {LyricStyle::ship, LyricStyle::fisheye, LyricStyle::visual, LyricStyle::fisheyeVisual}) {
        if (rawValue(style).toLower().remove(u' ') == key)
            return style;
    }
    return std::nullopt;
}

std::variant<AppOptions, QString> parseAppOptions(const QStringList& arguments)
{
    Parser p;
    if (!p.parser.parse(arguments))
        return p.parser.errorText() + QStringLiteral(" (try --help)");
    AppOptions options;
    options.help = p.parser.isSet(p.help);
    options.version = p.parser.isSet(p.version);
    if (options.help || options.version)
        return options;  // asked for, whatever else the line holds
    options.demo = p.parser.isSet(p.demo);
    options.menu = p.parser.isSet(p.menu);
    if (p.parser.isSet(p.style)) {
        options.style = styleFromName(p.parser.value(p.style));
        if (!options.style)
            return QStringLiteral("--style wants ship, fisheye, visual or fisheye-visual, not \"%1\"")
                .arg(p.parser.value(p.style));
    }
    if (p.parser.isSet(p.overlay)) {
        const QString kind = p.parser.value(p.overlay).toLower();
        if (kind != u"x11" && kind != u"wayland")
            return QStringLiteral("--overlay wants x11 or wayland, not \"%1\"").arg(p.parser.value(p.overlay));
        options.overlay = kind == u"x11" ? OverlayRequest::x11 : OverlayRequest::wayland;
    }
    if (p.parser.isSet(p.still)) {
        auto request = p.stillRequest();
        if (const QString* error = std::get_if<QString>(&request))
            return *error;
        options.still = std::get<StillRequest>(std::move(request));
    } else if (p.parser.isSet(p.at) || p.parser.isSet(p.size) || p.parser.isSet(p.background)) {
        return QStringLiteral("--at, --size and --background go with --render-frame");
    }
    if (!p.parser.positionalArguments().isEmpty())
        return QStringLiteral("unknown command \"%1\" (try --help)").arg(p.parser.positionalArguments().first());
    return options;
}

QString appHelpText() { return Parser().parser.helpText(); }
