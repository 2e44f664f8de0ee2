#include "settings/FontMapping.h"

#include <QFontDatabase>

const QList<FontChoice>& fontChoices()
{
    // The nearest free equivalents from Debian's font packages (see scripts/packages.txt).
    static const QList<FontChoice> choices = {
        {LyricFont::sfPro, {QStringLiteral("Inter"), QStringLiteral("Cantarell")}, QFont::DemiBold},
        {LyricFont::sfRounded, {QStringLiteral("Quicksand"), QStringLiteral("Comfortaa")}, QFont::DemiBold},
        {LyricFont::newYork, {QStringLiteral("Noto Serif"), QStringLiteral("DejaVu Serif")}, QFont::DemiBold},
        {LyricFont::helveticaNeue, {QStringLiteral("Nimbus Sans"), QStringLiteral("TeX Gyre Heros")}, QFont::Bold},
        {LyricFont::avenirNext, {QStringLiteral("URW Gothic")}, QFont::Bold},
        {LyricFont::futura, {QStringLiteral("League Spartan")}, QFont::Bold},
        {LyricFont::didot, {QStringLiteral("GFS Didot")}, QFont::Bold},
    };
    return choices;
}

QFont makeFont(LyricFont family, double pointSize)
{
    for (const FontChoice& choice : fontChoices()) {
        if (choice.font != family)
            continue;
        for (const QString& name : choice.families) {
            if (QFontDatabase::hasFamily(name)) {
                QFont font(name);
                font.setWeight(choice.weight);
                font.setPointSizeF(pointSize);
                return font;
            }
        }
    }
    QFont fallback = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    fallback.setWeight(QFont::DemiBold);
    fallback.setPointSizeF(pointSize);
    return fallback;
}
