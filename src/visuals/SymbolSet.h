#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// The application's own symbol set: an SVG (Phosphor, fill weight) for each symbol name of the
// keyword table that has a fitting icon, compiled into the Qt resources by the build from
// assets/icons/symbols.tsv. Names without a good icon are left out, so they count as missing.
//
// Drawing (for the overlay): a symbol WordVisual is the image at symbolResourceUrl(name) (or
// symbolResourcePath for QFile/QSvgRenderer), a single-colour SVG in black to be tinted with the
// highlight colour; an emoji WordVisual is its text drawn in emojiFontFamily (Noto Color Emoji).
namespace symbol_set {

inline constexpr char16_t emojiFontFamily[] = u"Noto Color Emoji";

// True exactly for the names the set can draw.
bool symbolExists(const QString& name);
// ":/icons/NAME.svg", or an empty string for a name the set cannot draw.
QString symbolResourcePath(const QString& name);
// qrc:/icons/NAME.svg (for QML's Image.source), or an empty URL for a name the set cannot draw.
QUrl symbolResourceUrl(const QString& name);
// Every drawable name, sorted.
const QStringList& drawableSymbols();
// The icon catalog as a search index: a JSON object from symbol name to its icon's search terms.
QString searchIndexPath();

}  // namespace symbol_set
