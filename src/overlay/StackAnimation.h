#pragma once

#include "overlay/Frame.h"
#include "overlay/SpringMotion.h"

#include <QList>

#include <cstdint>

// One row as it is to be drawn at one instant: its settled look, and where the springs and
// transitions have it now.
struct RowPose {
    FrameRow look;
    QPointF centre;  // of the row's box, band coordinates
    double scale = 1;  // of the look as drawn at look.pointSize
    double opacity = 1;  // the look's own opacity included
    // The row's pictogram, when its look has one: seconds since it arrived (its swing or wiggle
    // runs from then) and how far its own entrance has got (1 when it came with its row).
    double iconAge = 0;
    double iconPresence = 0;
};

// Animates from frame to frame the way the overlay moves: a stack belongs to one line (and one
// look), rows inside it are matched by their word's start. A new line fades in while the old one
// fades out; inside a line a new row grows in from the style's insertion scale, a row that leaves
// shrinks back to it, and rows that stay glide to their new place and size, all on the frame's
// spring. Times are seconds on a steady clock and must not decrease.
class StackAnimation {
public:
    // Retargets every animated value to what `frame` shows, from `time` on.
    void follow(const Frame& frame, double time);
    // The rows to draw at `time`: older stacks first, rows in stack order, leaving rows included.
    QList<RowPose> poses(double time) const;
    // Nothing moves any more and nothing is still leaving: drawing again would change nothing.
    bool isSettled(double time) const;
    bool isEmpty() const { return m_stacks.isEmpty(); }

private:
    struct Row {
        FrameRow look;
        SpringMotion x;
        SpringMotion y;
        SpringMotion size;
        SpringMotion presence;  // 1 shown, 0 gone: drives the insertion and removal transition
        double iconArrival;  // when the row's pictogram first showed (if it has one)
        SpringMotion iconPresence;
    };
    struct Stack {
        std::int64_t line;
        LyricStyle style;
        Spring spring;
        double insertionScale;
        SpringMotion presence;  // the whole line's fade
        QList<Row> rows;
    };

    Stack* currentStack();
    void startStack(const Frame& frame, double time);
    void followRows(Stack& stack, const Frame& frame, double time);
    void leave(Stack& stack, double time);
    void dropFinished(double time);
    static bool hasLeft(const SpringMotion& presence, double time);
    static Row newRow(const FrameRow& look, Spring spring, double presence, double time);
    static void followIcon(Row& row, const FrameRow& look, double time);

    QList<Stack> m_stacks;  // oldest first; only the last can be current
};
