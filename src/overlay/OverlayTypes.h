#pragma once

// Makes the overlay's Qt Quick types known to QML and asks for windows with an alpha channel.
// Call once, after the application object exists and before the first overlay window.
void registerOverlayTypes();
