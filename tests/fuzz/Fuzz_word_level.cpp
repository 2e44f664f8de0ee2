#include "FuzzChecks.h"

#include "lyrics/WordLevelParser.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QList<TimedWord> words = parseWordLevel(fuzzText(data, size));
    checkWords(words, LyricTier::wordLevel);
    FUZZ_CHECK(std::is_sorted(words.begin(), words.end(),
                              [](const TimedWord& a, const TimedWord& b) { return a.start < b.start; }));
    return 0;
}
