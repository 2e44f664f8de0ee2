#pragma once

#include "overlay/Frame.h"
#include "overlay/FrameInput.h"

// What one display draws in one frame, as a pure function of the frame's inputs: the same input
// always gives the same frame, and nothing is kept between frames. The renderer turns the frame
// into items and animates toward it: rows are matched across frames by `start`, the whole stack
// by `line`, with the frame's spring.
namespace FrameModel {

Frame build(const FrameInput& input);

}  // namespace FrameModel
