import QtQuick

// A small, quiet label: light text on a dark, rounded, half-transparent chip.
Rectangle {
    property alias text: label.text

    width: label.implicitWidth + 2 * label.font.pixelSize
    height: label.implicitHeight + label.font.pixelSize
    radius: height / 2
    color: "#99000000"

    Text {
        id: label
        anchors.centerIn: parent
        color: "#F2FFFFFF"
        font.pixelSize: 20
        font.weight: Font.DemiBold
    }
}
