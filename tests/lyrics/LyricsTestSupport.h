#pragma once

#include "lyrics/TimedLyrics.h"

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const TimedWord& word, std::ostream* out)
{
    *out << '{' << '"' << word.text.toStdString() << "\" " << word.start << "–" << word.end << " line " << word.line
         << '}';
}

inline TimedWord word(const char* text, double start, double end, std::int64_t line)
{
    return TimedWord{QString::fromUtf8(text), start, end, line};
}

inline QStringList textsOf(const QList<TimedWord>& words)
{
    QStringList texts;
    for (const TimedWord& w : words)
        texts.append(w.text);
    return texts;
}

inline QString testData(const char* name)
{
    QFile file(QStringLiteral(ZUVIK_TEST_DATA "/") + QString::fromUtf8(name));
    if (!file.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "missing test data " << name;
    return QString::fromUtf8(file.readAll());
}

// Readable failure output for Qt strings.
inline void PrintTo(const QString& s, std::ostream* out)
{
    *out << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << '[' << list.join(QStringLiteral(" | ")).toStdString() << ']';
}
