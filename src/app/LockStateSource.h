#pragma once

#include <QObject>

#include <functional>

// Where the session's lock state comes from. A platform answers whether the screen is locked and
// says when it may have changed; anything it cannot tell counts as unlocked.
class LockStateSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Reads the state now, waiting a bounded time; used once at start-up.
    virtual bool readNow() = 0;
    // Reads the state without blocking; answer runs later on this object's thread, exactly once.
    virtual void read(std::function<void(bool locked)> answer) = 0;

Q_SIGNALS:
    // The platform announced a lock or unlock; the content is not trusted, only re-read.
    void mayHaveChanged();
};
