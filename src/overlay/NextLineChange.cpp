#include "overlay/NextLineChange.h"

#include <algorithm>
#include <cmath>

namespace {

void consider(std::optional<double>& earliest, double candidate, double t)
{
    if (candidate > t && (!earliest || candidate < *earliest))
        earliest = candidate;
}

}  // namespace

std::optional<double> nextLineChange(const TimedLyrics& lyrics, double t)
{
    if (std::isnan(t))
        return std::nullopt;
    const QList<WordGroup>& groups = lyrics.groups();
    const auto next = std::partition_point(groups.cbegin(), groups.cend(),
                                           [t](const WordGroup& group) { return group.first().start <= t; });
    std::optional<double> earliest;
    if (next != groups.cend())
        consider(earliest, next->first().start, t);
    if (const auto active = lyrics.activeGroup(t)) {
        const WordGroup& group = *active->group;
        if (active->startedWords < group.size())
            consider(earliest, group[active->startedWords].start, t);
        consider(earliest, group.last().end + TimedLyrics::lingerAfterLine, t);
    }
    return earliest;
}
