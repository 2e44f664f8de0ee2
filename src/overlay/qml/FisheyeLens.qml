import QtQuick

// The lens over the lyric band: the band's picture remapped by the fisheye shaders. The effect
// covers lensRect of the band and samples the band's picture, rendered for sourceRect only.
// The mapping is worked out at the corners of a grid of cells about gridStep pixels wide. On the
// band of a 720p or larger display the straight lines between corners stay within half a pixel
// of the curve; finer cells cost the software rasteriser more in triangles than they save.
ShaderEffect {
    id: lens
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
    readonly property real gridStep: 16
    mesh: GridMesh {
        resolution: Qt.size(Math.max(1, Math.ceil(lens.width / lens.gridStep)),
                            Math.max(1, Math.ceil(lens.height / lens.gridStep)))
    }
    vertexShader: "qrc:/zuvik/overlay/shaders/fisheye.vert.qsb"
    fragmentShader: "qrc:/zuvik/overlay/shaders/fisheye.frag.qsb"
}
