#pragma once

#include <QString>

#include <functional>
#include <optional>

// The platform's way of keeping the display from sleeping while something is shown.
class DisplaySleepInhibitor {
public:
    struct HoldResult {
        std::optional<quint32> assertionId;  // set on success
        qint32 errorCode = 0;  // the platform's code on failure
        QString errorMessage;
    };

    virtual ~DisplaySleepInhibitor() = default;
    // Asks for an assertion without blocking; answer runs later on the caller's thread, exactly once.
    virtual void hold(const QString& reason, std::function<void(const HoldResult&)> answer) = 0;
    // Releases a held assertion; the outcome is not reported.
    virtual void release(quint32 assertionId) = 0;
};
