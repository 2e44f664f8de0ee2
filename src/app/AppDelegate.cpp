#include "app/AppDelegate.h"

#include "foundation/DiagLog.h"
#include "app/ScreenIdentity.h"
#include "app/LockMonitor.h"
#include "overlay/OverlayTypes.h"
#include "settings/AppSettings.h"

#include <QGuiApplication>
#include <QQmlEngine>
#include <QScreen>

AppDelegate::AppDelegate(AppSettings& settings, DisplayOverlayMaker makeOverlay, LockStateSource& lockSource,
                         FeedFactory feed, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_makeOverlay(std::move(makeOverlay))
    , m_lockSource(lockSource)
    , m_feed(std::move(feed))
{}

// Overlays go before the QML engine their scenes were made with.
AppDelegate::~AppDelegate() { m_overlays.clear(); }

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
    for (const auto& [id, screen] : wanted) {
        if (const auto existing = m_overlays.find(id); existing != m_overlays.end())
            existing->second->fitToScreen();  // same window, following a new resolution
        else
            createOverlay(id, *screen);
    }
}

void AppDelegate::createOverlay(quint32 displayId, QScreen& screen)
{
    if (!m_makeOverlay)
        return;  // nothing to draw on
    if (!m_qml)
        m_qml = new QQmlEngine(this);
    auto overlay = m_makeOverlay(*m_qml, screen, m_feed());
    overlay->setShown(true);
    if (!m_settings.showWhenUnlocked())
        overlay->setShown(false);
    DiagLog::log(QStringLiteral("overlay created for display %1 (%2)").arg(displayId).arg(displayNameOf(screen)));
    m_overlays.emplace(displayId, std::move(overlay));
}

void AppDelegate::applyVisibility(bool locked)
{
    const bool visible = locked || m_settings.showWhenUnlocked();
    for (const auto& [id, overlay] : m_overlays)
        overlay->setShown(visible);
}

void AppDelegate::showNotice(const QString& text)
{
    for (const auto& [id, overlay] : m_overlays)
        overlay->showNotice(text);
}

QList<quint32> AppDelegate::overlayDisplays() const
{
    QList<quint32> ids;
    for (const auto& entry : m_overlays)
        ids.append(entry.first);
    std::sort(ids.begin(), ids.end());
    return ids;
}

DisplayOverlay* AppDelegate::overlayFor(quint32 displayId) const
{
    const auto found = m_overlays.find(displayId);
    return found == m_overlays.end() ? nullptr : found->second.get();
}
