#include "platform/x11/X11OverlaySpace.h"

#include <QWindow>

void X11OverlaySpace::addWindow(QWindow& window) { window.raise(); }
