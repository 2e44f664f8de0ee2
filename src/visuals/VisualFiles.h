#pragma once

#include <QHash>
#include <QString>

#include <functional>
#include <optional>

// The files the word visual resolver reads and writes: its memo (memo key -> encoded visual) and
// the icon catalog's search terms.

// A memo file larger than this is not read (and is replaced at the next save).
inline constexpr qint64 memoFileSizeCap = 16 * 1024 * 1024;

// The memo file's content as a dictionary; none unless it is a JSON object whose values are all
// strings and the file is at most memoFileSizeCap bytes.
std::optional<QHash<QString, QString>> readMemoFile(const QString& path);
// Replaces the memo file as a whole, or leaves the old one; the error when it could not.
std::optional<QString> writeMemoFile(const QString& path, const QHash<QString, QString>& memo);
// The search index from the icon catalog: terms lower-cased, names sorted shortest first so that a
// term shared by several symbols maps to the shortest name; names containing ".ar", ".hi" or "rtl"
// and names that fail symbolExists contribute nothing. Empty when the file is missing or malformed.
QHash<QString, QString> readSymbolIndex(const QString& path, const std::function<bool(const QString&)>& symbolExists);
