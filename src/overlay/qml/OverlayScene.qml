import QtQuick
import Zuvik.Overlay

// One display's overlay: the lyric band, placed and swayed. Everything it shows comes from the
// band, which in the fisheye looks draws its pictures through the lens itself.
Item {
    Item {
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
    }
}
