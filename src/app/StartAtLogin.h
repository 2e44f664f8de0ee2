#pragma once

#include <QString>

#include <optional>

// Whether Zuvik starts when the user logs in. The desktop keeps that, not the settings file, so a
// change made outside Zuvik (a file removed by hand, a session manager's switch) shows here.
class StartAtLogin {
public:
    virtual ~StartAtLogin() = default;

    virtual bool isOn() const = 0;
    // Turns it on or off; why it could not be done, when it could not. Blocking file I/O.
    virtual std::optional<QString> turn(bool on) = 0;
};

// Turns it over from the menu or a terminal and logs what became of it:
// "start at login → true", or why it stays as it was.
std::optional<QString> turnStartAtLogin(StartAtLogin& startAtLogin, bool on);
