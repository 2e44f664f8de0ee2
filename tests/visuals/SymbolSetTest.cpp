#include "VisualsPrinting.h"
#include "visuals/EmojiKeywords.h"
#include "visuals/KeywordLookup.h"
#include "visuals/KeywordTables.h"
#include "visuals/SymbolSet.h"
#include <QFile>
#include <QFont>
#include <QGlyphRun>
#include <QSet>
#include <QSvgRenderer>
#include <QTextLayout>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// symbols.tsv maps each table symbol to an icon or "-": exactly the mapped ones exist, as 256-square SVGs.
TEST(SymbolSet, ExactlyTheMappedNamesExistAsValidPictures)
{
    QFile mapping(QStringLiteral(ZUVIK_ICON_MAPPING));
    ASSERT_TRUE(mapping.open(QIODevice::ReadOnly));
    QSet<QString> names, tableNames;
    for (const QByteArray& line : mapping.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (line.startsWith('#') || fields.size() != 2)
            continue;
        const QString name = QString::fromUtf8(fields[0]);
        names.insert(name);
        EXPECT_EQ(symbol_set::symbolExists(name), fields[1].trimmed() != "-") << name.toStdString();
        EXPECT_EQ(symbol_set::symbolResourcePath(name).isEmpty(), !symbol_set::symbolExists(name));
    }
    for (const keyword_tables::Row& row : keyword_tables::symbolKeywords())
        tableNames.insert(row.value);
    EXPECT_EQ(names, tableNames);
    for (const char* other : {"", "heart", "heart.fill.svg", "../heart.fill", "HEART.FILL", "ph.heart"})
        EXPECT_FALSE(symbol_set::symbolExists(QString::fromUtf8(other))) << other;
    for (const QString& name : symbol_set::drawableSymbols()) {
        QSvgRenderer renderer(symbol_set::symbolResourcePath(name));
        EXPECT_TRUE(renderer.isValid() && renderer.viewBox() == QRect(0, 0, 256, 256)) << name.toStdString();
    }
    EXPECT_EQ(symbol_set::symbolResourceUrl(u"heart.fill"_s), QUrl(u"qrc:/icons/heart.fill.svg"_s));
    EXPECT_TRUE(symbol_set::symbolResourceUrl(u"nose.fill"_s).isEmpty());
    EXPECT_EQ(KeywordLookup::shared().keywordVisual(u"nose"_s), std::nullopt) << "its symbol has no icon";
}

// Every emoji a word can get by its keywords is one picture of the colour emoji font, as the text shaper draws it.
TEST(SymbolSet, EmojiKeywordsOnlyGiveEmojiTheFontDraws)
{
    const QHash<QString, QString> emojiKeywords = emoji_keywords::read(emoji_keywords::resourcePath());
    EXPECT_TRUE(emojiKeywords.size() > 2000 && !emojiKeywords.contains(u"you"_s)) << "a pronoun is no keyword";
    const QFont font(QString::fromUtf16(symbol_set::emojiFontFamily));
    for (const QString& emoji : QSet<QString>(emojiKeywords.cbegin(), emojiKeywords.cend())) {
        QTextLayout layout(QString(emoji).remove(QChar(0xFE0F)), font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        EXPECT_TRUE(runs.size() == 1 && runs[0].glyphIndexes().size() == 1 && runs[0].glyphIndexes()[0] != 0
                    && runs[0].rawFont().familyName() == font.family())
            << emoji.toStdString();
    }
}
