#include "visuals/WordVisual.h"

QString encodeVisual(const std::optional<WordVisual>& visual)
{
    if (!visual)
        return {};
    return (visual->isSymbol() ? QStringLiteral("s:") : QStringLiteral("e:")) + visual->value();
}

std::optional<WordVisual> decodeVisual(QStringView encoded)
{
    if (encoded.startsWith(u"s:"))
        return WordVisual::symbol(encoded.mid(2).toString());
    if (encoded.startsWith(u"e:"))
        return WordVisual::emoji(encoded.mid(2).toString());
    return std::nullopt;
}
