#include "overlay/LyricBand.h"

#include "overlay/FrameFeed.h"

#include <QQuickWindow>
#include <QSGImageNode>
#include <QSGOpacityNode>
#include <QSGTransformNode>

#include <algorithm>
#include <cmath>

namespace {

// A sleeping band still looks again this often, in case the playhead moved without a word.
constexpr double longestSleep = 3600;
// The scene graph's node for one row: a transform over an opacity over the picture, remembering
// which picture it shows so a row keeps its texture from frame to frame.
class RowNode : public QSGTransformNode {
public:
    quint64 spriteId = 0;
    QSGOpacityNode* fade = nullptr;
    QSGImageNode* picture = nullptr;
};

QMatrix4x4 rowTransform(const RowPose& pose)
{
    QMatrix4x4 transform;
    transform.translate(static_cast<float>(pose.centre.x()), static_cast<float>(pose.centre.y()));
    transform.rotate(static_cast<float>(pose.look.tilt * 180.0 / M_PI), 0, 0, 1);
    transform.scale(static_cast<float>(pose.scale));
    return transform;
}

}  // namespace

LyricBand::LyricBand(QQuickItem* parent)
    : QQuickItem(parent)
    , m_clock(&QDateTime::currentDateTimeUtc)
{
    setFlag(ItemHasContents);
    m_steady.start();
    m_wakeTimer.setSingleShot(true);
    m_wakeTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_wakeTimer, &QTimer::timeout, this, &LyricBand::wake);
    m_paceTimer.setSingleShot(true);
    m_paceTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_paceTimer, &QTimer::timeout, this, &LyricBand::requestFrame);
}

LyricBand::~LyricBand() = default;

void LyricBand::setFeed(FrameFeed* feed)
{
    if (m_feed)
        disconnect(m_feed, nullptr, this, nullptr);
    m_feed = feed;
    if (m_feed)
        connect(m_feed, &FrameFeed::changed, this, &LyricBand::wake);
    wake();
}

void LyricBand::setPlacement(QSizeF displaySize, QPointF windowOrigin)
{
    m_displaySize = displaySize;
    m_windowOrigin = windowOrigin;
    wake();
}

void LyricBand::setLive(bool live)
{
    m_live = live;
    if (!live) {
        m_wakeTimer.stop();
        m_paceTimer.stop();
    } else {
        wake();
    }
}

void LyricBand::wake()
{
    if (m_live)
        requestFrame();
}

void LyricBand::requestFrame()
{
    m_wakeTimer.stop();
    polish();
}

void LyricBand::itemChange(ItemChange change, const ItemChangeData& value)
{
    if (change == ItemSceneChange && value.window) {
        connect(value.window, &QQuickWindow::frameSwapped, this, &LyricBand::onFrameSwapped, Qt::QueuedConnection);
        wake();
    }
    QQuickItem::itemChange(change, value);
}

// Frames follow each other at the display's pace while anything moves. Where the platform does
// not hold the swap to the display's refresh (a virtual X server), the band holds itself to it.
void LyricBand::onFrameSwapped()
{
    if (!m_live || !m_animating || m_paceTimer.isActive())
        return;
    const double refresh = window() && window()->screen() ? window()->screen()->refreshRate() : 60.0;
    const double interval = 1.0 / std::clamp(refresh, 24.0, 240.0);
    const double sinceLast = 1e-3 * static_cast<double>(m_steady.elapsed()) - m_lastPolish;
    const double wait = 0.9 * interval - sinceLast;
    if (wait <= 0)
        requestFrame();
    else
        m_paceTimer.start(static_cast<int>(std::ceil(wait * 1000)));
}

void LyricBand::updatePolish()
{
    if (!m_live)
        return;
    m_lastPolish = 1e-3 * static_cast<double>(m_steady.elapsed());
    advance(m_clock(), m_lastPolish);
    if (!m_animating)
        sleepUntilNextChange();
}

void LyricBand::advance(const QDateTime& instant, double steadySeconds)
{
    if (!m_feed)
        return;
    const Frame frame = m_feed->frameAt(instant, m_displaySize);
    m_animation.follow(frame, steadySeconds);
    applyFrameProperties(frame);
    placeRows(m_animation.poses(steadySeconds), frame);
    const bool swaying = !m_animation.isEmpty() && styleTraits(frame.style).swayAmplitude != 0;
    m_animating = swaying || !m_animation.isSettled(steadySeconds);
    update();
}

void LyricBand::sleepUntilNextChange()
{
    const auto wait = m_feed ? m_feed->secondsUntilNextChange(m_clock()) : std::nullopt;
    if (!wait)
        return;  // the feed's change signal wakes the band
    const double seconds = std::clamp(*wait, 0.0, longestSleep);
    m_wakeTimer.start(static_cast<int>(std::ceil(seconds * 1000)));
}

void LyricBand::applyFrameProperties(const Frame& frame)
{
    const QRectF band = frame.band.translated(-m_windowOrigin);
    if (band != m_bandRect) {
        m_bandRect = band;
        Q_EMIT bandRectChanged();
    }
    const QMatrix4x4 sway(frame.sway.transform());
    if (sway != m_swayMatrix) {
        m_swayMatrix = sway;
        Q_EMIT swayMatrixChanged();
    }
    if (frame.lensEnabled != m_lensEnabled) {
        m_lensEnabled = frame.lensEnabled;
        Q_EMIT lensEnabledChanged();
    }
}

const LyricBand::CachedSprite& LyricBand::spriteFor(const SpriteLook& look)
{
    const auto found = std::find_if(m_sprites.begin(), m_sprites.end(),
                                    [&look](const CachedSprite& cached) { return cached.look == look; });
    if (found != m_sprites.end()) {
        found->used = true;
        return *found;
    }
    m_sprites.append({look, paintWordSprite(look), m_nextSpriteId++, true});
    return m_sprites.last();
}

void LyricBand::placeRows(const QList<RowPose>& poses, const Frame& frame)
{
    for (CachedSprite& cached : m_sprites)
        cached.used = false;
    const double pixelRatio = window() ? window()->effectiveDevicePixelRatio() : 1.0;
    const LyricFont font = m_feed->font();
    m_placed.clear();
    for (const RowPose& pose : poses) {
        const CachedSprite& cached = spriteFor(SpriteLook::of(pose.look, font, frame.shadow, pixelRatio));
        if (cached.sprite.image.isNull())
            continue;
        m_placed.append({cached.id, cached.sprite.rect, rowTransform(pose), pose.opacity});
    }
    m_sprites.removeIf([](const CachedSprite& cached) { return !cached.used; });
}

QSGNode* LyricBand::updatePaintNode(QSGNode* old, UpdatePaintNodeData*)
{
    QSGNode* root = old ? old : new QSGNode;
    QList<RowNode*> previous;
    while (QSGNode* child = root->firstChild()) {
        root->removeChildNode(child);
        previous.append(static_cast<RowNode*>(child));
    }
    for (const PlacedRow& placed : std::as_const(m_placed)) {
        const auto reuse = std::find_if(previous.begin(), previous.end(),
                                        [&placed](const RowNode* node) { return node->spriteId == placed.spriteId; });
        RowNode* node = nullptr;
        if (reuse != previous.end()) {
            node = *reuse;
            previous.erase(reuse);
        } else {
            const auto sprite = std::find_if(m_sprites.cbegin(), m_sprites.cend(), [&placed](const CachedSprite& c) {
                return c.id == placed.spriteId;
            });
            node = new RowNode;
            node->spriteId = placed.spriteId;
            node->fade = new QSGOpacityNode;
            node->picture = window()->createImageNode();
            node->picture->setTexture(window()->createTextureFromImage(sprite->sprite.image));
            node->picture->setOwnsTexture(true);
            node->picture->setFiltering(QSGTexture::Linear);
            node->fade->appendChildNode(node->picture);
            node->appendChildNode(node->fade);
        }
        node->setMatrix(placed.transform);
        node->fade->setOpacity(placed.opacity);
        node->picture->setRect(placed.rect);
        root->appendChildNode(node);
    }
    qDeleteAll(previous);
    return root;
}
