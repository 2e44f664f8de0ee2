#pragma once

// The status menu with its real collaborators: settings over a defaults file of the test's own,
// the overlay delegate with an engine that finds no player, and the given lock state.
#include "MenuPrinting.h"

#include "app/AppDelegate.h"
#include "app/EngineFrameFeed.h"
#include "app/LyricEngine.h"
#include "app/StatusMenu.h"
#include "platform/x11/X11OverlaySpace.h"
#include "settings/AppSettings.h"
#include "settings/JsonFileDefaultsStore.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>

#include <memory>

struct MenuParts {
    explicit MenuParts(LockStateSource& lockState, StatusMenu::UpdateFeed feed = {})
        : delegate(settings, space, lockState, [this]() -> FrameFeed& { return frameFeed; })
        , menu(settings, std::move(feed))
    {
    }

    // The menu's action with this title, or null.
    QAction* action(const QString& title) const
    {
        for (QAction* candidate : menu.menu().actions()) {
            if (candidate->text() == title)
                return candidate;
        }
        return nullptr;
    }

    // The menu's display item for this display ID, or null.
    QAction* displayAction(quint32 displayId) const
    {
        for (QAction* candidate : menu.menu().actions()) {
            if (candidate->property("zuvikMenuTag").toInt() == status_menu::displayItemTag
                && candidate->data() == QVariant::fromValue<uint>(displayId))
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
