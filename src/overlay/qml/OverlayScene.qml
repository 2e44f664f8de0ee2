import QtQuick
import Zuvik.Overlay

// One display's overlay: the lyric band, placed and swayed, and in the fisheye looks seen
// through the lens instead of drawn directly. Everything it shows comes from the band.
Item {
    Item {
        id: placed
        x: band.bandRect.x
        y: band.bandRect.y
        width: band.bandRect.width
        height: band.bandRect.height
        transform: Matrix4x4 { matrix: band.swayMatrix }

        LyricBand {
            id: band
            objectName: "lyricBand"
            anchors.fill: parent
        }
        ShaderEffectSource {
            id: bandPicture
            sourceItem: band
            sourceRect: band.lensSourceRect
            hideSource: band.lensEnabled
            live: band.lensEnabled
            visible: false
            smooth: true
        }
        FisheyeLens {
            visible: band.lensEnabled && band.lensRect.width > 0
            source: bandPicture
            bandSize: Qt.size(band.width, band.height)
            lensRect: band.lensRect
            sourceRect: band.lensSourceRect
        }
    }
}
