#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// Turning a lyric word into lookup keys.
namespace word_forms {

// The word lower-cased (full Unicode lower-casing) with only its letters kept (general category L*):
// "Don't" gives dont, "nothin'" gives nothin, "24/7" gives the empty string.
QString visualKey(QStringView text);
// Length of a key in user-perceived characters; a key shorter than 3 never gets a visual.
qsizetype keyLength(QStringView key);
inline constexpr qsizetype minimumKeyLength = 3;

// The word itself, then for each of the suffixes "s", "ing", "ed" it ends with: the stem, and for
// "ing" and "ed" also stem + "e" and, for a stem of 3 or more ending in a doubled letter, the stem
// without that letter. running gives running, runn, runne, run. Stems under 2 characters are skipped.
// Characters here are code points (keys hold letters only).
QStringList candidateForms(const QString& word);
// The stem a word was made from with -ful or -ness, a final i turned back into y: tearful gives
// tear, happiness gives happy. Stems under 3 characters are not given. Asked only when the word's
// own forms find nothing, since such a stem can drift from the word's meaning.
QStringList derivedStems(const QString& word);

}  // namespace word_forms
