#pragma once

#include "lyrics/TimedLyrics.h"

#include "EventLoopWait.h"
#include "LogLines.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

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

// Texts and lines exactly, times to within rounding.
inline void expectWords(const QList<TimedWord>& actual, const QList<TimedWord>& expected)
{
    ASSERT_EQ(textsOf(actual), textsOf(expected));
    for (qsizetype i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i].start, expected[i].start, 1e-9) << i;
        EXPECT_NEAR(actual[i].end, expected[i].end, 1e-9) << i;
        EXPECT_EQ(actual[i].line, expected[i].line) << i;
    }
}

inline void PrintTo(const QString& s, std::ostream* out) { *out << '"' << s.toStdString() << '"'; }
