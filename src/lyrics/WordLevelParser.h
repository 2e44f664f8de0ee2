#pragma once

#include "lyrics/TimedLyrics.h"

#include <QList>
#include <QStringView>

// Reads the service's word-level text: one line per lyric line, "[header]" and then each word
// after a "(startMs,durationMs,ignored)" timing group. Never fails: what does not fit is skipped.
// Linear in the length of the text.
QList<TimedWord> parseWordLevel(QStringView text);
