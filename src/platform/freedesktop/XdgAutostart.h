#pragma once

#include "app/StartAtLogin.h"

#include <QByteArray>
#include <QString>

#include <variant>

// Start at login by the XDG Autostart rules: a desktop entry in $XDG_CONFIG_HOME/autostart that
// the session starts at login, unless the entry is hidden or switched off there.
class XdgAutostart : public StartAtLogin {
public:
    // `entryFile`: where the entry lives; `executable`: the program it starts.
    XdgAutostart(QString entryFile, QString executable);

    bool isOn() const override;
    std::optional<QString> turn(bool on) override;

private:
    QString m_entryFile;
    QString m_executable;
};

namespace xdg_autostart {

// The entry that starts `executable`, or why none can (a path no desktop entry can hold). It names
// the program in TryExec too, so that once the program is uninstalled the session skips the entry.
std::variant<QByteArray, QString> entryText(const QString& executable);
// Whether the session starts an entry of this text: not when it says Hidden=true, or
// X-GNOME-Autostart-enabled=false (the switch GNOME and others flip in their settings).
bool startsAtLogin(const QByteArray& entry);

}  // namespace xdg_autostart
