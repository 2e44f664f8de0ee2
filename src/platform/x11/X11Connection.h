#pragma once

#include <QString>

// Whether an X server answers at `display` (":0"): Qt's own X11 platform aborts the process when
// it cannot connect, so a run asks first and can say what is wrong.
bool x11DisplayAnswers(const QString& display);
