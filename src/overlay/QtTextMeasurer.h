#pragma once

#include "overlay/TextMeasurer.h"

#include <QHash>

#include <array>
#include <optional>

// Measures with the fonts makeFont picks, remembering every answer: a line's words are measured
// on every frame of every display, and the outline bounds are far too slow for that. Sizes are
// device-independent pixels, the unit the overlay calls points. Needs a QGuiApplication; main
// thread only.
class QtTextMeasurer final : public TextMeasurer {
public:
    FontMetrics fontMetrics(LyricFont font) const override;
    WordMetrics wordMetrics(LyricFont font, const QString& text) const override;

private:
    struct Key {
        LyricFont font;
        QString text;
        friend bool operator==(const Key&, const Key&) = default;
        friend size_t qHash(const Key& key, size_t seed = 0)
        {
            return qHashMulti(seed, static_cast<int>(key.font), key.text);
        }
    };

    // Far more distinct words than a song has; starting over bounds the memory of a long session.
    static constexpr qsizetype maxRemembered = 4096;

    mutable std::array<std::optional<FontMetrics>, 7> m_fontMetrics;
    mutable QHash<Key, WordMetrics> m_words;
};
