import QtQuick

// Five words, each springing up in turn as if sung, the line swaying slowly.
Item {
    id: root
    property int sung: 0

    Timer {
        interval: 450
        running: true
        repeat: true
        onTriggered: root.sung = (root.sung + 1) % 5
    }

    Row {
        id: line
        anchors.centerIn: parent
        spacing: 24
        transform: Rotation {
            origin.x: line.width / 2
            origin.y: line.height / 2
            NumberAnimation on angle {
                from: -1; to: 1; duration: 4000
                loops: Animation.Infinite
                easing.type: Easing.InOutSine
            }
        }

        Repeater {
            model: ["Lanterns", "on", "the", "water", "tonight"]
            Text {
                required property string modelData
                required property int index
                text: modelData
                font.pixelSize: 56
                font.bold: true
                color: index <= root.sung ? "#FF5A8C" : "#FFFFFF"
                style: Text.Outline
                styleColor: "#80000000"
                scale: index === root.sung ? 1.15 : 1.0
                Behavior on scale { SpringAnimation { spring: 3; damping: 0.25 } }
                y: index === root.sung ? -10 : 0
                Behavior on y { SpringAnimation { spring: 3; damping: 0.25 } }
            }
        }
    }
}
