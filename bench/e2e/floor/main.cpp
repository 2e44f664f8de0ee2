// The floor for the overlay's cost: the least Qt Quick program that draws what the overlay draws
// at its simplest, one line of five words, each on a spring, the line swaying slowly, in a
// transparent, click-through window, on the same renderer and compositor. Measured beside Zuvik
// by bench/e2e/run; with ZUVIK_FRAME_TRACE set it writes one line per drawn frame as Zuvik does.
//   zuvik-floor [--geometry WxH+X+Y]
#include <QCommandLineParser>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QQmlContext>
#include <QQuickView>
#include <QRegularExpression>

namespace {

QRect geometryFrom(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d+)x(\\d+)\\+(-?\\d+)\\+(-?\\d+)$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return QRect(0, 420, 1920, 240);
    return QRect(m.captured(3).toInt(), m.captured(4).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
}

}  // namespace

int main(int argc, char* argv[])
{
    QQuickWindow::setDefaultAlphaBuffer(true);
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption geometry(QStringLiteral("geometry"), QStringLiteral("The window: WxH+X+Y."),
                                      QStringLiteral("G"), QStringLiteral("1920x240+0+420"));
    parser.addOption(geometry);
    parser.process(app);

    QQuickView view;
    view.setFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowTransparentForInput | Qt::Tool);
    view.setColor(Qt::transparent);
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.setSource(QUrl(QStringLiteral("qrc:/floor/Floor.qml")));
    view.setGeometry(geometryFrom(parser.value(geometry)));

    QFile trace(qEnvironmentVariable("ZUVIK_FRAME_TRACE"));
    if (!trace.fileName().isEmpty())
        trace.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
    QObject::connect(&view, &QQuickWindow::frameSwapped, &view, [&trace] {
        if (trace.isOpen())
            trace.write(QByteArray::number(QDateTime::currentMSecsSinceEpoch() / 1000.0, 'f', 3) + " 0 -\n");
    });
    view.show();
    return QGuiApplication::exec();
}
