#pragma once
#include "app/menu/StatusMenu.h"
#include "platform/freedesktop/XdgAutostart.h"
#include "settings/AppSettings.h"
#include "settings/JsonFileDefaultsStore.h"
#include "playback/PlayerPreferences.h"
#include <QAction>
#include <QMenu>
#include <QTemporaryDir>

// The status menu over settings in a defaults file of the test's own.
struct MenuParts {
    explicit MenuParts(StatusMenu::UpdateFeed feed = {})
        : menu(settings, players, startAtLogin, std::move(feed))
    {}

    // The action with this title in the menu (or the given submenu), or null.
    QAction* action(const QString& title, const QMenu* in = nullptr) const
    {
        for (QAction* candidate : (in ? in : &menu.menu())->actions()) {
            if (candidate->text() == title)
                return candidate;
        }
        return nullptr;
    }

    QTemporaryDir folder;
    JsonFileDefaultsStore store{folder.filePath(QStringLiteral("defaults.json"))};
    AppSettings settings{store};
    PlayerRoster players;
    XdgAutostart startAtLogin{folder.filePath(QStringLiteral("autostart/zuvik.desktop")),
                              QStringLiteral("/usr/bin/zuvik")};
    StatusMenu menu;
};

// One line an item: "—" a separator, "[Title]" a disabled item, " ✓" a check mark.
inline QStringList menuLines(const QMenu& menu)
{
    QStringList lines;
    for (const QAction* action : menu.actions()) {
        const QString item = action->isEnabled() ? action->text() : u'[' + action->text() + u']';
        lines.append(action->isSeparator() ? QStringLiteral("—")
                                           : item + (action->isChecked() ? QStringLiteral(" ✓") : QString()));
    }
    return lines;
}
