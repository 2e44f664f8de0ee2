#pragma once

#include "settings/Color.h"

#include <QImage>

#include <optional>

// A cover reduced to one accent colour: the picture is drawn into a small sRGB buffer and the
// 4-bit-per-channel colour cell that best combines vividness, brightness and area gives the
// colour. Pure: callable on any thread.
namespace accent {

// The buffer is this many pixels wide and high, whatever the picture's size, so extraction
// costs the same for a thumbnail and for a poster.
constexpr int bufferSide = 40;

// The picture scaled into all of a bufferSide × bufferSide buffer: sRGB, 8 bits per channel,
// premultiplied alpha last (QImage::Format_RGBA8888_Premultiplied). Null for a null picture.
QImage accentBuffer(const QImage& picture);

// The histogram rule over a buffer as accentBuffer makes it: every pixel counts (transparent ones
// as black, through the premultiplication), cells both more saturated than 0.25 and brighter than
// 0.3 are scored (s + 0.2) × (b + 0.2) × count, the best score wins, and without any scored cell
// the largest cell wins; ties go to the lower cell index. Nothing for a buffer of another format
// or without pixels.
std::optional<Color> accentOfBuffer(const QImage& buffer);

}  // namespace accent

// accentOfBuffer(accentBuffer(picture)).
std::optional<Color> extractAccent(const QImage& picture);
