#pragma once

#include <QPointer>
#include <QQuickView>
#include <QScreen>
#include <QTimer>

// Where a notice of `notice`'s size lies on a display of `display`'s: centred on the top edge of the
// band, where no row of the stack usually is.
QPoint noticeOrigin(QSize display, QSize notice);

// A short notice on one display ("+0.3 s" after a timing nudge): a small click-through window
// at the top of the lyric band that shows for a moment and then hides. Its own window, so that
// the band's windows stay as small as what they draw.
class NoticeWindow : public QQuickView {
    Q_OBJECT
public:
    static constexpr int shownForMs = 2000;

    NoticeWindow(QQmlEngine& engine, QScreen& screen);

    // Shows the text (replacing one being shown) and hides it shownForMs later.
    void showText(const QString& text);
    QString text() const;

private:
    void placeOnScreen();

    QPointer<QScreen> m_screen;
    QTimer m_hideTimer;
};
