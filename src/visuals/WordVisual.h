#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// A word's pictogram: a symbol of the application's icon set (see SymbolSet for how to draw it) or
// an emoji drawn as colour text. Having no pictogram is an empty optional, not a third kind.
class WordVisual {
public:
    enum class Kind { symbol, emoji };

    static WordVisual symbol(QString name) { return WordVisual(Kind::symbol, std::move(name)); }
    static WordVisual emoji(QString text) { return WordVisual(Kind::emoji, std::move(text)); }

    Kind kind() const { return m_kind; }
    bool isSymbol() const { return m_kind == Kind::symbol; }
    bool isEmoji() const { return m_kind == Kind::emoji; }
    // The symbol name or the emoji text.
    const QString& value() const { return m_value; }

    friend bool operator==(const WordVisual&, const WordVisual&) = default;

private:
    WordVisual(Kind kind, QString value)
        : m_kind(kind)
        , m_value(std::move(value))
    {}

    Kind m_kind;
    QString m_value;
};

// The memo's value format: "s:" + symbol name, "e:" + emoji, the empty string for no visual.
QString encodeVisual(const std::optional<WordVisual>& visual);
// Reads a memo value back; anything that starts with neither prefix is no visual.
std::optional<WordVisual> decodeVisual(QStringView encoded);
