#pragma once

#include "settings/SettingsEnums.h"

#include <QColor>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

// `--render-frame OUT.png --at SECONDS [--style NAME] [--size WxH] [--background COLOR]
// [--artist A --title T [--duration S]]`: one still of the demo, or of a track's lyrics.
struct StillRequest {
    QString outputPath;
    double at = 0;
    QSize size{1920, 1080};
    QColor background = Qt::transparent;
    QString artist;  // empty: the demo track
    QString title;
    double duration = 0;
};

// Where the overlays are drawn: chosen from the session, or as the user forces it.
enum class OverlayRequest {
    automatic,  // a Wayland compositor's layer shell where it has one, else X11 windows
    x11,
    wayland,
};

// How one run of the application was asked to behave.
struct AppOptions {
    bool help = false;  // print the help text and exit
    bool version = false;  // print the version and exit
    bool demo = false;
    bool menu = false;  // ask the running copy to open its status menu, then exit
    std::optional<LyricStyle> style;  // overrides the setting for this run only
    std::optional<StillRequest> still;
    OverlayRequest overlay = OverlayRequest::automatic;
};

// The options, or a message for standard error (a usage error). Needs no application object.
std::variant<AppOptions, QString> parseAppOptions(const QStringList& arguments);
// The text `--help` prints; needs a QCoreApplication.
QString appHelpText();

// A track's length as given on a command line: seconds, more than 0 and at most a day; nothing
// for anything else (a negative, infinite or absurd length would key the cache by nonsense).
std::optional<double> trackDurationFromText(const QString& text);
inline constexpr double longestTrackSeconds = 24 * 60 * 60;

// "ship", "fisheye", "visual", "fisheye-visual" (or the stored names, "Fisheye Visual"), any case.
std::optional<LyricStyle> styleFromName(const QString& name);
