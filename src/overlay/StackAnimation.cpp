#include "overlay/StackAnimation.h"

#include <algorithm>

namespace {

// Under a tenth of a point and a tenth of a per cent, a moving value is as good as still.
constexpr double positionTolerance = 0.1;
constexpr double fractionTolerance = 0.001;

void retargetIfMoved(SpringMotion& motion, double target, double time)
{
    if (motion.target() != target)
        motion.retarget(target, time);
}

bool isShown(const SpringMotion& presence) { return presence.target() > 0; }

}  // namespace

void StackAnimation::follow(const Frame& frame, double time)
{
    Stack* current = currentStack();
    const bool sameLine = current && frame.line && current->line == *frame.line && current->style == frame.style;
    if (current && !sameLine)
        leave(*current, time);
    if (frame.line) {
        if (!sameLine)
            startStack(frame, time);
        else
            followRows(*current, frame, time);
    }
    dropFinished(time);
}

StackAnimation::Stack* StackAnimation::currentStack()
{
    if (m_stacks.isEmpty() || !isShown(m_stacks.last().presence))
        return nullptr;
    return &m_stacks.last();
}

// A new line arrives whole: its rows stand in place and the line fades in as one.
void StackAnimation::startStack(const Frame& frame, double time)
{
    Stack stack{
        *frame.line, frame.style, frame.lineSpring, frame.insertionScale, SpringMotion(frame.lineSpring, 0, time), {}};
    stack.presence.retarget(1, time);
    for (const FrameRow& look : frame.rows)
        stack.rows.append(newRow(look, frame.lineSpring, 1, time));
    m_stacks.append(std::move(stack));
}

// A row standing at its place; a pictogram it brings arrives with it, under the row's transition.
StackAnimation::Row StackAnimation::newRow(const FrameRow& look, Spring spring, double presence, double time)
{
    const QPointF centre = look.box.center();
    const bool hasIcon = look.iconSide != IconSide::none;
    return {look,
            SpringMotion(spring, centre.x(), time),
            SpringMotion(spring, centre.y(), time),
            SpringMotion(spring, look.pointSize, time),
            SpringMotion(spring, presence, time),
            time,
            SpringMotion(spring, hasIcon ? 1 : 0, time)};
}

// A pictogram that turns up on a row already shown enters on its own; one that goes is not drawn.
void StackAnimation::followIcon(Row& row, const FrameRow& look, double time)
{
    const bool had = row.look.iconSide != IconSide::none;
    const bool has = look.iconSide != IconSide::none;
    if (has && !had) {
        row.iconArrival = time;
        row.iconPresence.retarget(1, time);  // from where it is: nothing, or on its way out
    } else if (!has && row.iconPresence.target() != 0) {
        row.iconPresence.retarget(0, time);  // nothing left to draw it with: it is gone at once
    }
}

void StackAnimation::followRows(Stack& stack, const Frame& frame, double time)
{
    QList<Row> kept;
    kept.reserve(stack.rows.size() + frame.rows.size());
    QList<Row> previous = std::move(stack.rows);
    for (const FrameRow& look : frame.rows) {
        const auto match = std::find_if(previous.begin(), previous.end(),
                                        [&look](const Row& row) { return row.look.start == look.start; });
        const QPointF centre = look.box.center();
        if (match == previous.end()) {
            Row row = newRow(look, stack.spring, 0, time);
            row.presence.retarget(1, time);
            kept.append(std::move(row));
            continue;
        }
        Row row = std::move(*match);
        previous.erase(match);
        followIcon(row, look, time);
        row.look = look;
        retargetIfMoved(row.x, centre.x(), time);
        retargetIfMoved(row.y, centre.y(), time);
        retargetIfMoved(row.size, look.pointSize, time);
        retargetIfMoved(row.presence, 1, time);
        kept.append(std::move(row));
    }
    // Rows the window has let go of stay where they were while they shrink away; they are drawn
    // first, under the rows that stay.
    for (Row& row : previous) {
        retargetIfMoved(row.presence, 0, time);
        kept.prepend(std::move(row));
    }
    stack.rows = std::move(kept);
}

void StackAnimation::leave(Stack& stack, double time) { retargetIfMoved(stack.presence, 0, time); }

bool StackAnimation::hasLeft(const SpringMotion& presence, double time)
{
    return !isShown(presence) && presence.isSettled(time, fractionTolerance);
}

void StackAnimation::dropFinished(double time)
{
    m_stacks.removeIf([time](const Stack& stack) { return hasLeft(stack.presence, time); });
    for (Stack& stack : m_stacks)
        stack.rows.removeIf([time](const Row& row) { return hasLeft(row.presence, time); });
}

QList<RowPose> StackAnimation::poses(double time) const
{
    QList<RowPose> poses;
    for (const Stack& stack : m_stacks) {
        const double fade = std::clamp(stack.presence.at(time).value, 0.0, 1.0);
        for (const Row& row : stack.rows) {
            const double presence = row.presence.at(time).value;
            const double transition = stack.insertionScale + (1 - stack.insertionScale) * presence;
            const double size = row.size.at(time).value;
            const double sizeScale = row.look.pointSize > 0 ? size / row.look.pointSize : 1;
            RowPose pose{row.look,
                         QPointF(row.x.at(time).value, row.y.at(time).value),
                         std::max(0.0, sizeScale * transition),
                         row.look.opacity * fade * std::clamp(presence, 0.0, 1.0),
                         time - row.iconArrival,
                         row.iconPresence.at(time).value};
            if (pose.opacity > 0 && pose.scale > 0)
                poses.append(std::move(pose));
        }
    }
    return poses;
}

bool StackAnimation::isSettled(double time) const
{
    for (const Stack& stack : m_stacks) {
        if (!isShown(stack.presence) || !stack.presence.isSettled(time, fractionTolerance))
            return false;
        for (const Row& row : stack.rows) {
            if (!isShown(row.presence) || !row.presence.isSettled(time, fractionTolerance)
                || !row.x.isSettled(time, positionTolerance) || !row.y.isSettled(time, positionTolerance)
                || !row.size.isSettled(time, positionTolerance) || !row.iconPresence.isSettled(time, fractionTolerance))
                return false;
        }
    }
    return true;
}
