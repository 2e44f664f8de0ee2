#pragma once

#include <Qt>

// Every overlay window: frameless, above every other, outside the task bar and the window
// manager's hands, never taking a click or the keyboard.
inline constexpr Qt::WindowFlags overlayWindowFlags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                                                      | Qt::BypassWindowManagerHint | Qt::WindowDoesNotAcceptFocus
                                                      | Qt::WindowTransparentForInput;
