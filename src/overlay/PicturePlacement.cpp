#include "overlay/PicturePlacement.h"

#include "overlay/IconMotion.h"

#include <algorithm>
#include <cmath>

namespace {

// A pictogram enters on its own from this scale.
constexpr double iconInsertionScale = 0.2;

void placeIcon(QList<PlacedLook>& placed, const RowPose& pose, const QMatrix4x4& rowTransform, const WordShadow& shadow,
               double pixelRatio)
{
    if (pose.look.iconSide == IconSide::none || !pose.look.visual || pose.iconPresence <= 0)
        return;
    const WordVisual& visual = *pose.look.visual;
    const double presence = std::clamp(pose.iconPresence, 0.0, 1.0);
    const QPointF offset = pose.look.iconBox.center() - pose.look.box.center();
    const QMatrix4x4 transform = rowTransform
                                 * pictureTransform(offset, icon_motion::turn(visual.kind(), pose.iconAge),
                                                    iconInsertionScale + (1 - iconInsertionScale) * presence);
    const bool moving = icon_motion::isMoving(visual.kind(), pose.iconAge) || pose.iconPresence < 1 - fractionTolerance;
    placed.append({IconLook{visual, pose.look.iconPointSize, pose.look.iconColor, shadow, pixelRatio}, transform,
                   pose.opacity * presence, moving});
}

}  // namespace

QMatrix4x4 pictureTransform(QPointF centre, double turn, double scale)
{
    QMatrix4x4 transform;
    transform.translate(static_cast<float>(centre.x()), static_cast<float>(centre.y()));
    transform.rotate(static_cast<float>(turn * 180.0 / M_PI), 0, 0, 1);
    transform.scale(static_cast<float>(scale));
    return transform;
}

QList<PlacedLook> placeLooks(const QList<RowPose>& poses, const QList<WatermarkPose>& watermarks, LyricFont font,
                             const WordShadow& shadow, double pixelRatio)
{
    QList<PlacedLook> placed;
    for (const WatermarkPose& pose : watermarks) {
        const double presence = std::clamp(pose.presence, 0.0, 1.0);
        if (presence <= 0)
            continue;
        const Watermark& mark = pose.mark;
        placed.append({IconLook{mark.visual, mark.pointSize, mark.symbolColor, WordShadow{0, 0, 0}, pixelRatio},
                       pictureTransform(mark.centre, 0, 1), mark.opacity * presence, false});
    }
    for (const RowPose& pose : poses) {
        const QMatrix4x4 transform = pictureTransform(pose.centre, pose.look.tilt, pose.scale);
        placed.append({SpriteLook::of(pose.look, font, shadow, pixelRatio), transform, pose.opacity, false});
        placeIcon(placed, pose, transform, shadow, pixelRatio);
    }
    return placed;
}
