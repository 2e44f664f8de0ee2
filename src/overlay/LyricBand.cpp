#include "overlay/LyricBand.h"

#include "overlay/FisheyeMapping.h"
#include "overlay/FrameFeed.h"
#include "overlay/LensPictureNode.h"
#include "overlay/PicturePlacement.h"

#include <QQuickWindow>
#include <QSGImageNode>
#include <QSGOpacityNode>
#include <QSGTransformNode>

#include <algorithm>
#include <cmath>

namespace {

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

}  // namespace

LyricBand::LyricBand(QQuickItem* parent)
    : QQuickItem(parent)
    , m_clock(&QDateTime::currentDateTimeUtc)
{
    setFlag(ItemHasContents);
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
    if (!live)
        m_pacer.stop();
    else
        wake();
}

void LyricBand::wake()
{
    if (m_live)
        requestFrame();
}

void LyricBand::requestFrame()
{
    m_pacer.cancelSleep();
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

// Frames follow each other at the display's pace while anything moves.
void LyricBand::onFrameSwapped()
{
    if (!m_live || !m_animating)
        return;
    const double refresh = window() && window()->screen() ? window()->screen()->refreshRate() : 60.0;
    m_pacer.frameShown(refresh, m_onlySwaying);
}

void LyricBand::updatePolish()
{
    if (!m_live)
        return;
    advance(m_clock(), m_pacer.startFrame());
    if (!m_animating)  // the feed's change signal wakes the band before then
        m_pacer.sleep(m_feed ? m_feed->secondsUntilNextChange(m_clock()) : std::nullopt);
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
    const bool fading = std::any_of(m_watermarks.cbegin(), m_watermarks.cend(),
                                    [steadySeconds](const WatermarkFade& fade) {
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

void LyricBand::placePictures(const QList<RowPose>& poses, const Frame& frame, double time)
{
    const double pixelRatio = window() ? window()->effectiveDevicePixelRatio() : 1.0;
    QList<WatermarkPose> marks;
    for (const WatermarkFade& fade : std::as_const(m_watermarks))
        marks.append({fade.mark, fade.presence.at(time).value});
    m_sprites.beginFrame();
    m_iconsMoving = false;
    m_placed.clear();
    for (const PlacedLook& placed : placeLooks(poses, marks, frame.font, frame.shadow, pixelRatio)) {
        const SpriteCache::Entry cached = m_sprites.spriteFor(placed.look);
        if (cached.sprite->image.isNull())
            continue;
        m_iconsMoving = m_iconsMoving || placed.moving;
        m_placed.append({cached.id, cached.sprite->rect, placed.transform, placed.opacity, {}});
    }
    m_sprites.endFrame();
}

QSGNode* LyricBand::updatePaintNode(QSGNode* old, UpdatePaintNodeData*)
{
    // A transform node, not a plain one: Qt Quick's software renderer places nodes added under a
    // node by the state it recorded for that node, and it records none for plain nodes, so rows
    // added while the band stands still would lose the band's own place in its window.
    QSGNode* root = old ? old : new QSGTransformNode;
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
            node = newRowNode(*window(), *m_sprites.find(placed.spriteId), placed.spriteId, m_lensEnabled);
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
