import QtQuick
import Zuvik.Overlay

// One display's overlay: the lyric band, placed, swayed and, in the fisheye looks, seen through
// the lens. Everything it shows comes from the band's properties.
Item {
    LyricBand {
        id: band
        objectName: "lyricBand"
        x: bandRect.x
        y: bandRect.y
        width: bandRect.width
        height: bandRect.height
        transform: Matrix4x4 { matrix: band.swayMatrix }
        layer.enabled: band.lensEnabled
        layer.smooth: true
        layer.effect: FisheyeLens { bandSize: Qt.size(band.width, band.height) }
    }
}
