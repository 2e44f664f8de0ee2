#include "platform/mpris/FreshPosition.h"

namespace fresh_position {

namespace {

bool sameValue(const QVariant& a, const QVariant& b)
{
    bool aIsNumber = false;
    bool bIsNumber = false;
    const double x = a.toDouble(&aIsNumber);
    const double y = b.toDouble(&bIsNumber);
    return aIsNumber && bIsNumber ? x == y : a == b;
}

}  // namespace

std::optional<Read> justChanged(const std::function<std::optional<Read>()>& read, const std::function<void(int)>& wait,
                                int reads, int interval)
{
    std::optional<Read> previous = read();
    for (int i = 1; previous && i < reads; ++i) {
        wait(interval);
        std::optional<Read> next = read();
        if (next && !sameValue(next->position, previous->position)) {
            // The value took effect somewhere between the two reads: the middle is the best guess.
            next->at = previous->at.addMSecs(previous->at.msecsTo(next->at) / 2);
            return next;
        }
        previous = std::move(next);
    }
    return std::nullopt;
}

}  // namespace fresh_position
