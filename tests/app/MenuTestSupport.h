#pragma once

// The status menu with its real collaborators: settings over a defaults file of the test's own,
// the overlay delegate with an engine that finds no player, and the given lock state.
#include "app/AppDelegate.h"
#include "app/EngineFrameFeed.h"
#include "app/LyricEngine.h"
#include "app/menu/StatusMenu.h"
#include "platform/x11/X11OverlaySpace.h"
#include "settings/AppSettings.h"
#include "settings/JsonFileDefaultsStore.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>

struct MenuParts {
    explicit MenuParts(LockStateSource& lockState, StatusMenu::UpdateFeed feed = {})
        : delegate(settings, space, lockState, [this]() -> FrameFeed& { return frameFeed; })
        , menu(settings, std::move(feed))
    {
    }

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
    X11OverlaySpace space;
    LyricEngine engine{[](NowPlayingMonitor::Completion done) { done(std::nullopt); },
                       [](const NowPlayingTrack&) -> PendingLyrics* { return nullptr; }};
    EngineFrameFeed frameFeed{engine, settings};
    AppDelegate delegate;
    StatusMenu menu;
};

// The menu as a person reads it, one line an item: "—" a separator, "[Title]" a disabled item,
// " ✓" a check mark.
inline QStringList menuLines(const QMenu& menu)
{
    QStringList lines;
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator())
            lines.append(QStringLiteral("—"));
        else
            lines.append((action->isEnabled() ? action->text() : u'[' + action->text() + u']')
                         + (action->isChecked() ? QStringLiteral(" ✓") : QString()));
    }
    return lines;
}
