#pragma once

#include "overlay/Frame.h"

#include <QDateTime>
#include <QObject>
#include <QSizeF>

#include <optional>

// Where an overlay gets what to draw: a frame for any instant and display size, carrying all it
// draws (font, colours, pictograms), and word of any change that a frame cannot foresee. Main thread.
class FrameFeed : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual Frame frameAt(const QDateTime& instant, QSizeF displaySize) const = 0;
    // Wall-clock seconds from `instant` until the frame's line or words next change by themselves
    // (the playhead moving on); nothing when they will not until `changed`.
    virtual std::optional<double> secondsUntilNextChange(const QDateTime& instant) const = 0;

Q_SIGNALS:
    // The lyrics, the playhead's anchor or a setting changed: the next frame may differ.
    void changed();
};
