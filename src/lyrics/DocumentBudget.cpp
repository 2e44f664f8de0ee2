#include "lyrics/DocumentBudget.h"

#include "foundation/DiagLog.h"

bool DocumentBudget::takeLine()
{
    if (m_lines >= maxLines || m_words >= maxWords) {
        m_leftOut = true;
        return false;
    }
    ++m_lines;
    return true;
}

bool DocumentBudget::takeWord(qsizetype wordsInLine)
{
    if (wordsInLine >= maxWordsPerLine || m_words >= maxWords) {
        m_leftOut = true;
        return false;
    }
    ++m_words;
    return true;
}

void DocumentBudget::reportLeftOut() const
{
    if (m_leftOut)
        DiagLog::log(
            QStringLiteral("lyrics: the text holds more than a song — kept %1 words, left out the rest").arg(m_words));
}
