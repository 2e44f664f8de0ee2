#pragma once

#include "visuals/WordVisualResolver.h"

#include <QStringList>

#include <cstdio>

// `zuvik visual WORD…`: for each word, the pictogram the overlay would draw and how the resolver
// came to it, so that a picture that looks wrong can be traced to its table entry, catalog term or
// embedding neighbour. It reads the overlay's own memo and tables and writes nothing.

bool isVisualCommand(const QStringList& arguments);
// One line for a word: "WORD → PICTOGRAM (HOW)".
QString describeExplanation(const QString& word, const WordVisualResolver::Explanation& explanation,
                            const std::optional<QString>& memoValue);
// The process's exit status: 0, or 2 when no word is given.
int runVisualCommand(const QStringList& arguments, const WordVisualResolver::Sources& sources,
                     const KeywordLookup& keywords, std::FILE* out = stdout, std::FILE* err = stderr);
