#include "FuzzChecks.h"

#include "lyrics/LineLevelParser.h"
#include "lyrics/LyricFilters.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = fuzzText(data, size);
    const QList<TimedWord> words = parseLineLevel(text);
    checkWords(words, LyricTier::interpolated);
    checkWords(dropTranslationLines(words, u"Title", u"Artist"), LyricTier::interpolated);
    (void)isCreditLine(text);
    return 0;
}
