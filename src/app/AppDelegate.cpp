#include "app/AppDelegate.h"

#include "foundation/DiagLog.h"
#include "app/ScreenIdentity.h"
#include "app/LockMonitor.h"
#include "overlay/NoticeWindow.h"
#include "overlay/OverlaySpace.h"
#include "overlay/OverlayTypes.h"
#include "overlay/TopmostWindow.h"
#include "settings/AppSettings.h"

#include <QGuiApplication>
#include <QQmlEngine>
#include <QScreen>

AppDelegate::AppDelegate(AppSettings& settings, OverlaySpace& space, LockStateSource& lockSource, FeedFactory feed,
                         QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_space(space)
    , m_lockSource(lockSource)
    , m_feed(std::move(feed))
{}

// Windows go before the QML engine their scenes were made with.
AppDelegate::~AppDelegate()
{
    m_notices.clear();
    m_overlays.clear();
}

void AppDelegate::launch()
{
    registerOverlayTypes();
    rebuildOverlays();
    for (QScreen* screen : QGuiApplication::screens())
        watchScreen(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watchScreen(screen);
        onScreensChanged();
    });
    // Queued: the screen is still in the list while its removal is announced.
    connect(qApp, &QGuiApplication::screenRemoved, this, &AppDelegate::onScreensChanged, Qt::QueuedConnection);
    m_lockMonitor = new LockMonitor(m_lockSource, this);
    connect(m_lockMonitor, &LockMonitor::lockedChanged, this, &AppDelegate::applyVisibility);
    connect(&m_settings, &AppSettings::disabledDisplaysChanged, this, &AppDelegate::onScreensChanged);
    connect(&m_settings, &AppSettings::showWhenUnlockedChanged, this, [this] { applyVisibility(isLocked()); });
    applyVisibility(isLocked());
}

bool AppDelegate::isLocked() const { return m_lockMonitor && m_lockMonitor->isLocked(); }

void AppDelegate::watchScreen(QScreen* screen)
{
    connect(screen, &QScreen::geometryChanged, this, &AppDelegate::onScreensChanged);
}

void AppDelegate::onScreensChanged()
{
    rebuildOverlays();
    applyVisibility(isLocked());
}

void AppDelegate::rebuildOverlays()
{
    std::unordered_map<quint32, QScreen*> wanted;
    for (QScreen* screen : QGuiApplication::screens()) {
        const quint32 id = displayIdOf(*screen);
        if (id != 0 && !m_settings.disabledDisplays().contains(id))
            wanted[id] = screen;  // a later screen with the same ID replaces an earlier one
    }
    std::erase_if(m_overlays, [&wanted](const auto& entry) { return !wanted.contains(entry.first); });
    // A display's notice goes with its overlay, and is made again for its next screen.
    m_notices.clear();
    for (const auto& [id, screen] : wanted) {
        if (const auto existing = m_overlays.find(id); existing != m_overlays.end())
            existing->second->fitToScreen();  // same window, following a new resolution
        else
            createOverlay(id, *screen);
    }
}

void AppDelegate::createOverlay(quint32 displayId, QScreen& screen)
{
    if (!m_qml)
        m_qml = new QQmlEngine(this);
    auto window = std::make_unique<TopmostWindow>(*m_qml, screen, m_feed());
    m_space.addWindow(*window);
    show(*window);
    if (!m_settings.showWhenUnlocked())
        window->hide();
    DiagLog::log(QStringLiteral("overlay created for display %1 (%2)").arg(displayId).arg(displayNameOf(screen)));
    m_overlays.emplace(displayId, std::move(window));
}

void AppDelegate::applyVisibility(bool locked)
{
    const bool visible = locked || m_settings.showWhenUnlocked();
    if (!visible) {
        for (const auto& [id, notice] : m_notices)
            notice->hide();
    }
    for (const auto& [id, window] : m_overlays) {
        if (visible)
            show(*window);
        else
            window->hide();
    }
}

void AppDelegate::show(TopmostWindow& window)
{
    m_space.showSpace();
    window.show();
    m_space.addWindow(window);
}

void AppDelegate::showNotice(const QString& text)
{
    for (const auto& [id, window] : m_overlays) {
        if (!window->isVisible() || !window->screen())
            continue;
        auto& notice = m_notices[id];
        if (!notice) {
            notice = std::make_unique<NoticeWindow>(*m_qml, *window->screen());
            m_space.addWindow(*notice);
        }
        m_space.showSpace();
        notice->showText(text);
        m_space.addWindow(*notice);
    }
}

NoticeWindow* AppDelegate::noticeFor(quint32 displayId) const
{
    const auto found = m_notices.find(displayId);
    return found == m_notices.end() ? nullptr : found->second.get();
}

QList<quint32> AppDelegate::overlayDisplays() const
{
    QList<quint32> ids;
    for (const auto& entry : m_overlays)
        ids.append(entry.first);
    std::sort(ids.begin(), ids.end());
    return ids;
}

TopmostWindow* AppDelegate::overlayFor(quint32 displayId) const
{
    const auto found = m_overlays.find(displayId);
    return found == m_overlays.end() ? nullptr : found->second.get();
}
