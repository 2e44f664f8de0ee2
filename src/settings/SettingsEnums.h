#pragma once

#include "settings/Color.h"

#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <utility>

// The looks of the overlay; raw values are what the defaults store and the menu show.
enum class LyricStyle { ship, fisheye, visual, fisheyeVisual };
// Font families offered for the lyrics; the raw value is the family's title in the menu.
enum class LyricFont { sfPro, sfRounded, newYork, helveticaNeue, avenirNext, futura, didot };
// The three lyric colours.
enum class ColorSlot { text, highlight, secondary };

namespace settings_detail {

template <typename Enum, std::size_t N> using RawTable = std::array<std::pair<Enum, QStringView>, N>;

inline constexpr RawTable<LyricStyle, 4> lyricStyles = {{
    {LyricStyle::ship, u"Ship"},
    {LyricStyle::fisheye, u"Fisheye"},
    {LyricStyle::visual, u"Visual"},
    {LyricStyle::fisheyeVisual, u"Fisheye Visual"},
}};

inline constexpr RawTable<LyricFont, 7> lyricFonts = {{
    {LyricFont::sfPro, u"SF Pro"},
    {LyricFont::sfRounded, u"SF Rounded"},
    {LyricFont::newYork, u"New York"},
    {LyricFont::helveticaNeue, u"Helvetica Neue"},
    {LyricFont::avenirNext, u"Avenir Next"},
    {LyricFont::futura, u"Futura"},
    {LyricFont::didot, u"Didot"},
}};

inline constexpr RawTable<ColorSlot, 3> colorSlots = {{
    {ColorSlot::text, u"text"},
    {ColorSlot::highlight, u"highlight"},
    {ColorSlot::secondary, u"secondary"},
}};

template <typename Enum, std::size_t N> QString rawValueIn(const RawTable<Enum, N>& table, Enum value)
{
    for (const auto& [item, raw] : table) {
        if (item == value)
            return raw.toString();
    }
    return {};
}

// Exact, case-sensitive match.
template <typename Enum, std::size_t N>
std::optional<Enum> fromRawValueIn(const RawTable<Enum, N>& table, QStringView raw)
{
    for (const auto& [item, itemRaw] : table) {
        if (itemRaw == raw)
            return item;
    }
    return std::nullopt;
}

}  // namespace settings_detail

inline QString rawValue(LyricStyle v) { return settings_detail::rawValueIn(settings_detail::lyricStyles, v); }
inline QString rawValue(LyricFont v) { return settings_detail::rawValueIn(settings_detail::lyricFonts, v); }
inline QString rawValue(ColorSlot v) { return settings_detail::rawValueIn(settings_detail::colorSlots, v); }

template <typename Enum> std::optional<Enum> fromRawValue(QStringView raw);
template <> inline std::optional<LyricStyle> fromRawValue<LyricStyle>(QStringView raw)
{
    return settings_detail::fromRawValueIn(settings_detail::lyricStyles, raw);
}
template <> inline std::optional<LyricFont> fromRawValue<LyricFont>(QStringView raw)
{
    return settings_detail::fromRawValueIn(settings_detail::lyricFonts, raw);
}

inline constexpr std::array<ColorSlot, 3> allColorSlots = {ColorSlot::text, ColorSlot::highlight, ColorSlot::secondary};

// "color." + the slot's raw value.
inline QString colorKey(ColorSlot slot) { return QStringLiteral("color.") + rawValue(slot); }

// White for text and highlight, white at alpha 0.7 for the secondary colour.
inline Color defaultColor(ColorSlot slot) { return slot == ColorSlot::secondary ? Color::white(0.7) : Color::white(); }
