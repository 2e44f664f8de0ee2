#include "overlay/WordWindow.h"

#include <algorithm>

std::span<const TimedWord> wordWindow(const WordGroup& group, qsizetype started, int size)
{
    const qsizetype end = std::clamp<qsizetype>(started, 0, group.size());
    const qsizetype count = std::clamp<qsizetype>(size, 0, end);
    return std::span<const TimedWord>(group.constData() + (end - count), static_cast<std::size_t>(count));
}
