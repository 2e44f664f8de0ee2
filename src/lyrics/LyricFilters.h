#pragma once

#include "lyrics/TimedLyrics.h"

#include <QList>
#include <QStringView>

// True for a production credit ("作词 : someone", "Lyrics by: someone"), which is not sung.
bool isCreditLine(QStringView text);

// Strips full-width parentheses and whitespace, drops empty words, and glues fragments without a
// letter, mark or number (punctuation, emoji) onto the previous word, across lines too.
QList<TimedWord> cleanWords(const QList<TimedWord>& words);

// Removes lines written mostly in Chinese ideographs (translations) from the lyrics of a track
// whose title and artist hold no ideograph; logs how many words went. Returns the input when
// nothing would remain.
QList<TimedWord> dropTranslationLines(const QList<TimedWord>& words, QStringView title, QStringView artist);
