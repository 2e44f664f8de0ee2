#include "platform/x11/X11Connection.h"

#include <xcb/xcb.h>

bool x11DisplayAnswers(const QString& display)
{
    xcb_connection_t* connection = xcb_connect(display.toLocal8Bit().constData(), nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);  // also frees a connection that failed
    return answers;
}
