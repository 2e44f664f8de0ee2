#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>

// The emoji's own names and keywords (Unicode CLDR's English annotations, with emojilib's everyday
// keywords), as the build cut them down: only emoji that the colour emoji font draws, only single
// words that WordNet knows. A word that no keyword table pictures can still be the name or a
// keyword of an emoji ("autumn": 🍂).
namespace emoji_keywords {

// The build's file, compiled into the resources.
QString resourcePath();

// Distance in meaning of two words, 0...2 (the word embedding's cosine distance).
using Nearness = std::function<double(const QString& word, const QString& other)>;

// Word to emoji from lines "EMOJI<TAB>name<TAB>keywords separated by spaces". Where several emoji
// fit a word: the emoji named by the word itself wins; then, when `distance` is given, the one whose
// name holds the word, or else whose name's words and other keywords come nearest it in meaning; then
// the one of fewest code points (🙇 before its gendered sequences), U+FE0F aside; then the one with
// the fewest keywords (the most specific picture); then the first in code point order. A regular
// plural of a one-word name ("wings", "berries") goes with that name, unless it is a name itself.
// Lines of another shape are skipped.
QHash<QString, QString> parse(const QByteArray& text, const Nearness& distance = {});
// parse() of a file; empty when it cannot be read.
QHash<QString, QString> read(const QString& path, const Nearness& distance = {});

}  // namespace emoji_keywords
