#pragma once

#include "overlay/DisplayOverlay.h"

#include <QObject>

#include <functional>
#include <memory>

class AppSettings;
class FrameFeed;
class LockMonitor;
class LockStateSource;
class QQmlEngine;
class QScreen;

// Owns the overlay windows: one per connected display that is not switched off in the settings,
// kept in step with the displays as they come, go and change, and shown or hidden as the screen
// locks and unlocks. Main thread.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    // The feed is made on first need, which is when the first overlay is created: until then no
    // player is polled and no lyrics are fetched.
    using FeedFactory = std::function<FrameFeed&()>;

    AppDelegate(AppSettings& settings, DisplayOverlayMaker makeOverlay, LockStateSource& lockSource, FeedFactory feed,
                QObject* parent = nullptr);
    ~AppDelegate() override;

    // Creates the overlays, follows the displays and the lock state from now on.
    void launch();
    void rebuildOverlays();
    void applyVisibility(bool locked);

    // Shows a short notice on every display whose overlay is showing.
    void showNotice(const QString& text);

    bool isLocked() const;
    QList<quint32> overlayDisplays() const;
    DisplayOverlay* overlayFor(quint32 displayId) const;

private:
    void onScreensChanged();
    void watchScreen(QScreen* screen);
    void createOverlay(quint32 displayId, QScreen& screen);

    AppSettings& m_settings;
    DisplayOverlayMaker m_makeOverlay;
    LockStateSource& m_lockSource;
    FeedFactory m_feed;
    QQmlEngine* m_qml = nullptr;  // child of this
    LockMonitor* m_lockMonitor = nullptr;  // child of this, from launch on
    std::unordered_map<quint32, std::unique_ptr<DisplayOverlay>> m_overlays;
};
