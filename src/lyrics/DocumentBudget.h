#pragma once

#include <QtGlobal>

// How much one lyrics document may hold. Real songs stay far below it (a long rap song has some
// 150 lines and 1,500 words); without it a hostile reply or file of a few megabytes becomes
// millions of words: gigabytes of memory, a huge cache file and a frozen overlay. A parser asks
// before it keeps each line and each word, and stops reading once the budget is spent.
class DocumentBudget {
public:
    static constexpr qsizetype maxLines = 1000;
    static constexpr qsizetype maxWordsPerLine = 100;
    static constexpr qsizetype maxWords = 5000;

    // Whether another line may be kept.
    bool takeLine();
    // Whether a word may be kept, given how many words its line keeps already.
    bool takeWord(qsizetype wordsInLine);
    // Logs one line when anything was left out.
    void reportLeftOut() const;

private:
    qsizetype m_lines = 0;
    qsizetype m_words = 0;
    bool m_leftOut = false;
};
