#pragma once

#include "overlay/OverlaySpace.h"

// X11 has no layer above the screen locker that a client may join: the overlay windows are
// override-redirect windows kept above the desktop's own by raising each one every time it is
// shown. A locker that maps its own window afterwards covers them, as it should.
class X11OverlaySpace final : public OverlaySpace {
public:
    void showSpace() override {}
    void addWindow(QWindow& window) override;
};
