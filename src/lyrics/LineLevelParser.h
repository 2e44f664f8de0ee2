#pragma once

#include "lyrics/TimedLyrics.h"

#include <QList>
#include <QStringView>

#include <optional>

// Reads the text of a "[mm:ss.xx]" time tag (without brackets) as seconds: minutes, seconds and an
// optional fraction ("05" and "5" are hundredths, "050" thousandths). Metadata tags do not read.
std::optional<double> readTimeTag(QStringView tag);

// Reads line-timed text ("[00:12.34][01:10.00]text") and spreads each line's span over its words
// in proportion to their letters. Never fails; linear in the length of the text.
QList<TimedWord> parseLineLevel(QStringView text);
