#pragma once

#include "overlay/FramePacer.h"
#include "overlay/LensGrid.h"
#include "overlay/SpriteCache.h"
#include "overlay/StackAnimation.h"

#include <QMatrix4x4>
#include <QPointer>
#include <QQuickItem>

#include <functional>

class FrameFeed;

// The lyric band of one display as a Qt Quick item: each displayed frame it asks the feed what
// to show, animates toward it and places one pre-painted picture per row. It draws frames only
// while something moves; otherwise it sleeps until the next word is due or the feed reports a
// change, so an overlay with nothing to show costs nothing.
//
// The scene around it places it at `bandRect` and applies `swayMatrix`. In the fisheye looks the
// band draws each picture through the lens itself.
class LyricBand : public QQuickItem {
    Q_OBJECT
    Q_PROPERTY(QRectF bandRect READ bandRect NOTIFY bandRectChanged)
    Q_PROPERTY(QMatrix4x4 swayMatrix READ swayMatrix NOTIFY swayMatrixChanged)
public:
    using Clock = std::function<QDateTime()>;

    explicit LyricBand(QQuickItem* parent = nullptr);
    ~LyricBand() override;

    void setFeed(FrameFeed* feed);
    // The display the band is drawn for, and where on it the window's top-left corner lies.
    void setPlacement(QSizeF displaySize, QPointF windowOrigin);
    void setClock(Clock clock) { m_clock = std::move(clock); }

    // Steps the animation to `instant`, `steadySeconds` on the animation's own clock; the live
    // band does this once per frame, a still picture replays the second before its instant.
    void advance(const QDateTime& instant, double steadySeconds);
    // Stop drawing frames by itself (for stills, which advance by hand).
    void setLive(bool live);

    QRectF bandRect() const { return m_bandRect; }
    QMatrix4x4 swayMatrix() const { return m_swayMatrix; }
    bool lensEnabled() const { return m_lensEnabled; }
    // Where the pictures show through the lens, in band coordinates; empty without the lens.
    QRectF lensRect() const { return m_lensGrid.lensRect(); }
    bool isAnimating() const { return m_animating; }
    // What the last frame drew, swaying included, in the window's coordinates; empty for nothing.
    QRectF drawnBounds() const { return m_drawnBounds; }
    qsizetype drawnRows() const { return m_placed.size(); }

Q_SIGNALS:
    void bandRectChanged();
    void swayMatrixChanged();
    // After every frame, with its drawn bounds and the steady time it was drawn for.
    void frameAdvanced(const QRectF& drawnBounds, double steadySeconds);

protected:
    void updatePolish() override;
    QSGNode* updatePaintNode(QSGNode* old, UpdatePaintNodeData* data) override;
    void itemChange(ItemChange change, const ItemChangeData& value) override;

private:
    // One picture of the last frame as the scene graph needs it, back to front.
    struct PlacedPicture {
        quint64 spriteId;
        QRectF rect;  // the sprite's rectangle around the point the transform puts at the origin
        QMatrix4x4 transform;
        double opacity;
        fisheye_lens::PictureMesh lensMesh;  // in the fisheye looks: where and how it shows
    };
    struct WatermarkFade {
        Watermark mark;
        SpringMotion presence;
    };

    void wake();
    void onFrameSwapped();
    void requestFrame();
    void applyFrameProperties(const Frame& frame);
    QRectF boundsOfPlaced() const;
    void updateLens(const QRectF& placed);
    void followWatermark(const Frame& frame, double time);
    void placePictures(const QList<RowPose>& poses, const Frame& frame, double time);

    QPointer<FrameFeed> m_feed;
    Clock m_clock;
    FramePacer m_pacer{[this] { wake(); }};
    bool m_live = true;
    bool m_animating = false;
    bool m_onlySwaying = false;  // nothing moves but the slow sway

    QSizeF m_displaySize;
    QPointF m_windowOrigin;
    QRectF m_bandRect;
    QMatrix4x4 m_swayMatrix;
    QRectF m_drawnBounds;
    bool m_lensEnabled = false;
    fisheye_lens::LensGrid m_lensGrid;

    StackAnimation m_animation;
    QList<WatermarkFade> m_watermarks;  // oldest first; only the last can be current
    bool m_iconsMoving = false;
    SpriteCache m_sprites;
    QList<PlacedPicture> m_placed;
};
