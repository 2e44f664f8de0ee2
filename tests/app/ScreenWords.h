#pragma once
#include "PrivateX11Server.h"
#include <QRegularExpression>
#include <QStringList>

// The words in a picture, lower-cased: light text on dark and dark on light, after the `first` operations.
inline QStringList wordsIn(const QString& picture, const QStringList& first = {})
{
    QStringList words;
    for (const bool negate : {true, false}) {
        const QString prepared = picture + (negate ? QStringLiteral(".light.png") : QStringLiteral(".dark.png"));
        const QStringList convert = QStringList{picture} + first + QStringList{"-colorspace", "Gray"}
                                    + (negate ? QStringList{"-negate"} : QStringList())
                                    + QStringList{"-threshold", "50%", prepared};
        const auto text = runX11Tool(QStringLiteral("convert"), convert)
                              ? runX11Tool(QStringLiteral("tesseract"), {prepared, "stdout", "--psm", "11"}, 60000)
                              : std::nullopt;
        words += QString::fromUtf8(text.value_or(QByteArray()))
                     .toLower()
                     .split(QRegularExpression(QStringLiteral("[^a-z]+")), Qt::SkipEmptyParts);
    }
    return words;
}
