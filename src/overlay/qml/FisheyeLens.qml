import QtQuick

// The lens over the lyric band: the band's picture remapped by the fisheye shader. The effect
// covers lensRect of the band and samples the band's picture, rendered for sourceRect only.
ShaderEffect {
    property variant source
    property size bandSize
    property rect lensRect: Qt.rect(0, 0, bandSize.width, bandSize.height)
    property rect sourceRect: Qt.rect(0, 0, bandSize.width, bandSize.height)
    property real strength: 0.45
    property real falloff: 2.2
    property real maxOffset: 0.45
    property point lensOrigin: Qt.point(lensRect.x, lensRect.y)
    property size lensSize: Qt.size(lensRect.width, lensRect.height)
    property point sourceOrigin: Qt.point(sourceRect.x, sourceRect.y)
    property size sourceSize: Qt.size(sourceRect.width, sourceRect.height)
    x: lensRect.x
    y: lensRect.y
    width: lensRect.width
    height: lensRect.height
    fragmentShader: "qrc:/zuvik/overlay/shaders/fisheye.frag.qsb"
}
