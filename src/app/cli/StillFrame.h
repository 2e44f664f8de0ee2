#pragma once

#include "app/cli/AppOptions.h"

class AppServices;

// Renders one frame of the overlay to a PNG, the way a display of the requested size would show
// it at the requested position: the second before that instant is played through the band's
// animation first, so words are caught mid-transition as they would be live. Returns the exit
// status, having said what went wrong on standard error.
int renderStillFrame(const StillRequest& request, std::optional<LyricStyle> style, AppServices& services);
