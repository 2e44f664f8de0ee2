import QtQuick

// The lens over the lyric band: the layer's picture remapped by the fisheye shader.
ShaderEffect {
    property size bandSize
    property real strength: 0.45
    property real falloff: 2.2
    property real maxOffset: 0.45
    fragmentShader: "qrc:/zuvik/overlay/shaders/fisheye.frag.qsb"
}
