#include "overlay/StyleTraits.h"

namespace {

constexpr Spring stackSpring{0.25, 0.7};
constexpr Spring fisheyeSpring{0.28, 0.72};
constexpr WordShadow stackShadow{16, 4, 0.55};
constexpr WordShadow fisheyeShadow{20, 5, 0.55};

// In the order of LyricStyle's cases.
constexpr std::array<StyleTraits, 4> traits = {{
    {5, 1.0, stackSpring, stackShadow, 4.5, 0.14, 0.3, false, false, false},  // ship
    {3, 0.0, fisheyeSpring, fisheyeShadow, 2.5, 0.045, 0.6, true, true, false},  // fisheye
    {4, 0.5, stackSpring, stackShadow, 3.0, 0.06, 0.3, false, true, true},  // visual
    {3, 0.0, fisheyeSpring, fisheyeShadow, 2.5, 0.045, 0.6, true, true, true},  // fisheyeVisual
}};

}  // namespace

const StyleTraits& styleTraits(LyricStyle style)
{
    const auto index = static_cast<std::size_t>(style);
    return traits[index < traits.size() ? index : 0];
}
