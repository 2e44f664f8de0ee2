#include "overlay/QtTextMeasurer.h"

#include "settings/FontMapping.h"

#include <QFontMetricsF>
#include <QPainterPath>

namespace {

QFont referenceFont(LyricFont family)
{
    QFont font = makeFont(family, TextMeasurer::referenceSize);
    // Pixels, not points: the overlay's unit does not change with the display's dots per inch.
    font.setPixelSize(static_cast<int>(TextMeasurer::referenceSize));
    // Unhinted outlines scale linearly, which is what measuring once at one size relies on.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

}  // namespace

FontMetrics QtTextMeasurer::fontMetrics(LyricFont font) const
{
    auto& slot = m_fontMetrics[static_cast<std::size_t>(font) % m_fontMetrics.size()];
    if (!slot) {
        const QFontMetricsF metrics(referenceFont(font));
        slot = FontMetrics{metrics.capHeight(), metrics.ascent(), metrics.descent()};
    }
    return *slot;
}

WordMetrics QtTextMeasurer::wordMetrics(LyricFont font, const QString& text) const
{
    const Key key{font, text};
    if (const auto found = m_words.constFind(key); found != m_words.cend())
        return *found;

    const QFont qfont = referenceFont(font);
    QPainterPath outline;
    outline.addText(0, 0, qfont, text);
    const QRectF ink = outline.boundingRect();  // y down from the baseline
    WordMetrics metrics;
    metrics.advance = QFontMetricsF(qfont).horizontalAdvance(text);
    if (!ink.isEmpty())
        metrics.ink = InkBounds{ink.left(), -ink.bottom(), ink.right(), -ink.top()};

    if (m_words.size() >= maxRemembered)
        m_words.clear();
    m_words.insert(key, metrics);
    return metrics;
}
