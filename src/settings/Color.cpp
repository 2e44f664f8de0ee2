#include "settings/Color.h"

#include "settings/UnsignedParse.h"

#include <algorithm>
#include <cmath>

namespace {

int toByte(double component)
{
    if (std::isnan(component))
        return 0;
    return static_cast<int>(std::round(std::clamp(component, 0.0, 1.0) * 255.0));
}

QStringView trimSpacesAndTabs(QStringView text)
{
    while (!text.isEmpty() && (text.front() == u' ' || text.front() == u'\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == u' ' || text.back() == u'\t'))
        text.chop(1);
    return text;
}

}  // namespace

Color Color::fromHsb(double hue, double saturation, double brightness, double alpha)
{
    const double h = (hue - std::floor(hue)) * 6.0;  // sector 0...6
    const int sector = static_cast<int>(h) % 6;
    const double f = h - std::floor(h);
    const double v = brightness;
    const double p = v * (1 - saturation);
    const double q = v * (1 - saturation * f);
    const double t = v * (1 - saturation * (1 - f));
    switch (sector) {
    case 0:
        return {v, t, p, alpha};
    case 1:
        return {q, v, p, alpha};
    case 2:
        return {p, v, t, alpha};
    case 3:
        return {p, q, v, alpha};
    case 4:
        return {t, p, v, alpha};
    default:
        return {v, p, q, alpha};
    }
}

double Color::brightness() const { return std::max({red, green, blue}); }

double Color::saturation() const
{
    const double max = brightness();
    return max <= 0 ? 0 : (max - std::min({red, green, blue})) / max;
}

double Color::hue() const
{
    const double max = brightness();
    const double delta = max - std::min({red, green, blue});
    if (delta <= 0)
        return 0;
    double sixths;
    if (max == red)
        sixths = std::fmod((green - blue) / delta, 6.0);
    else if (max == green)
        sixths = (blue - red) / delta + 2;
    else
        sixths = (red - green) / delta + 4;
    const double h = sixths / 6.0;
    return h < 0 ? h + 1 : h;
}

QString colorHexString(const Color& color)
{
    return QStringLiteral("#%1%2%3%4")
        .arg(toByte(color.red), 2, 16, QLatin1Char('0'))
        .arg(toByte(color.green), 2, 16, QLatin1Char('0'))
        .arg(toByte(color.blue), 2, 16, QLatin1Char('0'))
        .arg(toByte(color.alpha), 2, 16, QLatin1Char('0'))
        .toUpper();
}

std::optional<Color> colorFromHex(QStringView text)
{
    QStringView rest = trimSpacesAndTabs(text);
    if (rest.startsWith(u'#'))
        rest = rest.sliced(1);
    if (rest.size() != 8)
        return std::nullopt;
    const std::optional<quint64> value = readUnsigned(rest, 16, 0xFFFFFFFFu);
    if (!value)
        return std::nullopt;
    const auto channel = [v = *value](int shift) { return double((v >> shift) & 0xFF) / 255.0; };
    return Color{channel(24), channel(16), channel(8), channel(0)};
}
