#include "overlay/LyricBand.h"

#include "overlay/FisheyeMapping.h"
#include "overlay/FrameFeed.h"
#include "overlay/IconMotion.h"
#include "overlay/LensPictureNode.h"

#include <QQuickWindow>
#include <QSGImageNode>
#include <QSGOpacityNode>
#include <QSGTransformNode>

#include <algorithm>
#include <cmath>

namespace {

// A sleeping band still looks again this often, in case the playhead moved without a word.
constexpr double longestSleep = 3600;
// The scene graph's node for one picture: a transform over an opacity over the picture, drawn
// plainly or through the lens, remembering which picture it shows so that it keeps its texture
// from frame to frame.
class RowNode : public QSGTransformNode {
public:
    quint64 spriteId = 0;
    QSGOpacityNode* fade = nullptr;
    QSGImageNode* picture = nullptr;
    LensPictureNode* lensPicture = nullptr;
};

// Through the lens a picture is drawn over its mesh, already in band coordinates; otherwise it
// is one rectangle that the node's transform places.
RowNode* newRowNode(QQuickWindow& window, const WordSprite& sprite, quint64 spriteId, bool throughLens)
{
    auto* node = new RowNode;
    node->spriteId = spriteId;
    node->fade = new QSGOpacityNode;
    if (throughLens) {
        node->lensPicture = new LensPictureNode(window, sprite.image);
        node->fade->appendChildNode(node->lensPicture);
    } else {
        node->picture = window.createImageNode();
        node->picture->setTexture(window.createTextureFromImage(sprite.image));
        node->picture->setOwnsTexture(true);
        node->picture->setFiltering(QSGTexture::Linear);
        node->fade->appendChildNode(node->picture);
    }
    node->appendChildNode(node->fade);
    return node;
}

// Moves a picture drawn about the origin to `centre`, turned by `turn` radians and scaled.
QMatrix4x4 placement(QPointF centre, double turn, double scale)
{
    QMatrix4x4 transform;
    transform.translate(static_cast<float>(centre.x()), static_cast<float>(centre.y()));
    transform.rotate(static_cast<float>(turn * 180.0 / M_PI), 0, 0, 1);
    transform.scale(static_cast<float>(scale));
    return transform;
}

// While only the sway moves, one display frame in this many is drawn.
constexpr double swayFrameStride = 2.0;
// A pictogram enters on its own from this scale.
constexpr double iconInsertionScale = 0.2;
constexpr double fractionTolerance = 0.001;

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
    // The sway drifts by under a point per frame even at half the display's rate, which a
    // renderer without a GPU is glad of; everything else moves at the full rate.
    const double interval = (m_onlySwaying ? swayFrameStride : 1.0) / std::clamp(refresh, 24.0, 240.0);
    const double sinceLast = 1e-3 * static_cast<double>(m_steady.elapsed()) - m_lastPolish;
    const double wait = interval - sinceLast;
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
    followWatermark(frame, steadySeconds);
    applyFrameProperties(frame);
    placePictures(m_animation.poses(steadySeconds), frame, steadySeconds);
    const bool swaying = !m_animation.isEmpty() && styleTraits(frame.style).swayAmplitude != 0;
    const bool fading = std::any_of(m_watermarks.cbegin(), m_watermarks.cend(), [steadySeconds](const WatermarkFade& fade) {
        return !fade.presence.isSettled(steadySeconds, fractionTolerance);
    });
    const bool moving = fading || m_iconsMoving || !m_animation.isSettled(steadySeconds);
    m_animating = swaying || moving;
    m_onlySwaying = swaying && !moving;
    const QRectF placed = boundsOfPlaced();
    updateLens(placed);
    // What shows on screen: through the lens where it is on, then turned by the sway.
    const QRectF shown = m_lensEnabled ? lensRect() : placed;
    m_drawnBounds = shown.isEmpty() ? QRectF() : m_swayMatrix.mapRect(shown).translated(m_bandRect.topLeft());
    update();
    Q_EMIT frameAdvanced(m_drawnBounds, steadySeconds);
}

QRectF LyricBand::boundsOfPlaced() const
{
    QRectF bounds;
    for (const PlacedPicture& placed : m_placed)
        bounds |= placed.transform.mapRect(placed.rect);
    return bounds;
}

// The lens shows the band only: the pictures' parts beyond it are not drawn. The grid is laid
// again only when what the pictures reach through the lens changes.
void LyricBand::updateLens(const QRectF& placed)
{
    QRectF lens;
    if (m_lensEnabled && !placed.isEmpty()) {
        const QRectF source(placed.intersected(QRectF(QPointF(0, 0), m_bandRect.size())).toAlignedRect());
        lens = QRectF(fisheye_lens::destinationBounds(m_bandRect.size(), source).toAlignedRect());
    }
    if (lens != m_lensGrid.lensRect() || m_bandRect.size() != m_lensGrid.bandSize())
        m_lensGrid = lens.isEmpty() ? fisheye_lens::LensGrid() : fisheye_lens::LensGrid(m_bandRect.size(), lens);
    for (PlacedPicture& picture : m_placed)
        picture.lensMesh = m_lensEnabled ? m_lensGrid.meshFor(picture.transform.toTransform(), picture.rect)
                                         : fisheye_lens::PictureMesh();
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
    m_lensEnabled = frame.lensEnabled;
}

// Each new current word's watermark fades in over the last one, which fades out.
void LyricBand::followWatermark(const Frame& frame, double time)
{
    const bool same = !m_watermarks.isEmpty() && frame.watermark && m_watermarks.last().presence.target() > 0
                      && m_watermarks.last().mark.start == frame.watermark->start;
    if (!same) {
        for (WatermarkFade& fade : m_watermarks) {
            if (fade.presence.target() != 0)
                fade.presence.retarget(0, time);
        }
        if (frame.watermark) {
            m_watermarks.append({*frame.watermark, SpringMotion(frame.lineSpring, 0, time)});
            m_watermarks.last().presence.retarget(1, time);
        }
    } else {
        m_watermarks.last().mark = *frame.watermark;
    }
    m_watermarks.removeIf([time](const WatermarkFade& fade) {
        return fade.presence.target() == 0 && fade.presence.isSettled(time, fractionTolerance);
    });
}

template <typename Look>
const LyricBand::CachedSprite<Look>& LyricBand::spriteFor(QList<CachedSprite<Look>>& cache, const Look& look)
{
    const auto found = std::find_if(cache.begin(), cache.end(),
                                    [&look](const CachedSprite<Look>& cached) { return cached.look == look; });
    if (found != cache.end()) {
        found->used = true;
        return *found;
    }
    if constexpr (std::is_same_v<Look, SpriteLook>)
        cache.append({look, paintWordSprite(look), m_nextSpriteId++, true});
    else
        cache.append({look, paintIconSprite(look), m_nextSpriteId++, true});
    return cache.last();
}

const WordSprite* LyricBand::findSprite(quint64 id) const
{
    for (const auto& cached : m_rowSprites) {
        if (cached.id == id)
            return &cached.sprite;
    }
    for (const auto& cached : m_iconSprites) {
        if (cached.id == id)
            return &cached.sprite;
    }
    return nullptr;
}

void LyricBand::placePictures(const QList<RowPose>& poses, const Frame& frame, double time)
{
    for (auto& cached : m_rowSprites)
        cached.used = false;
    for (auto& cached : m_iconSprites)
        cached.used = false;
    m_iconsMoving = false;
    const double pixelRatio = window() ? window()->effectiveDevicePixelRatio() : 1.0;
    const LyricFont font = m_feed->font();
    m_placed.clear();
    placeWatermarks(frame, time, pixelRatio);
    for (const RowPose& pose : poses) {
        const auto& cached = spriteFor(m_rowSprites, SpriteLook::of(pose.look, font, frame.shadow, pixelRatio));
        const QMatrix4x4 transform = placement(pose.centre, pose.look.tilt, pose.scale);
        if (!cached.sprite.image.isNull())
            m_placed.append({cached.id, cached.sprite.rect, transform, pose.opacity, {}});
        placeIcon(pose, transform, frame, pixelRatio);
    }
    m_rowSprites.removeIf([](const auto& cached) { return !cached.used; });
    m_iconSprites.removeIf([](const auto& cached) { return !cached.used; });
}

void LyricBand::placeWatermarks(const Frame& frame, double time, double pixelRatio)
{
    for (const WatermarkFade& fade : std::as_const(m_watermarks)) {
        const auto visual = m_feed->visualFor(fade.mark.word);
        const double presence = std::clamp(fade.presence.at(time).value, 0.0, 1.0);
        if (!visual || presence <= 0)
            continue;
        const IconLook look{*visual, fade.mark.pointSize, fade.mark.symbolColor, WordShadow{0, 0, 0}, pixelRatio};
        const auto& cached = spriteFor(m_iconSprites, look);
        if (!cached.sprite.image.isNull())
            m_placed.append({cached.id, cached.sprite.rect, placement(fade.mark.centre, 0, 1),
                             fade.mark.opacity * presence, {}});
    }
    Q_UNUSED(frame);
}

// The pictogram rides on its row (tilt, scale, fade and shadow) and adds its own arrival.
void LyricBand::placeIcon(const RowPose& pose, const QMatrix4x4& rowTransform, const Frame& frame, double pixelRatio)
{
    if (pose.look.iconSide == IconSide::none || pose.iconPresence <= 0)
        return;
    const auto visual = m_feed->visualFor(pose.look.text);
    if (!visual)
        return;
    const IconLook look{*visual, pose.look.iconPointSize, pose.look.iconColor, frame.shadow, pixelRatio};
    const auto& cached = spriteFor(m_iconSprites, look);
    if (cached.sprite.image.isNull())
        return;
    m_iconsMoving = m_iconsMoving || icon_motion::isMoving(visual->kind(), pose.iconAge)
                    || pose.iconPresence < 1 - fractionTolerance;
    const double presence = std::clamp(pose.iconPresence, 0.0, 1.0);
    const QPointF offset = pose.look.iconBox.center() - pose.look.box.center();
    const QMatrix4x4 transform = rowTransform
                                 * placement(offset, icon_motion::turn(visual->kind(), pose.iconAge),
                                             iconInsertionScale + (1 - iconInsertionScale) * presence);
    m_placed.append({cached.id, cached.sprite.rect, transform, pose.opacity * presence, {}});
}

QSGNode* LyricBand::updatePaintNode(QSGNode* old, UpdatePaintNodeData*)
{
    QSGNode* root = old ? old : new QSGNode;
    QList<RowNode*> previous;
    while (QSGNode* child = root->firstChild()) {
        root->removeChildNode(child);
        previous.append(static_cast<RowNode*>(child));
    }
    for (const PlacedPicture& placed : std::as_const(m_placed)) {
        if (m_lensEnabled && placed.lensMesh.indices.isEmpty())
            continue;  // nothing of it shows through the lens
        const auto reuse = std::find_if(previous.begin(), previous.end(), [this, &placed](const RowNode* node) {
            return node->spriteId == placed.spriteId && (node->lensPicture != nullptr) == m_lensEnabled;
        });
        RowNode* node = nullptr;
        if (reuse != previous.end()) {
            node = *reuse;
            previous.erase(reuse);
        } else {
            node = newRowNode(*window(), *findSprite(placed.spriteId), placed.spriteId, m_lensEnabled);
        }
        node->fade->setOpacity(placed.opacity);
        if (node->lensPicture) {
            node->setMatrix(QMatrix4x4());
            node->lensPicture->setMesh(placed.lensMesh);
        } else {
            node->setMatrix(placed.transform);
            node->picture->setRect(placed.rect);
        }
        root->appendChildNode(node);
    }
    qDeleteAll(previous);
    return root;
}
