#include "VisualsPrinting.h"
#include "visuals/KeywordLookup.h"
#include "visuals/KeywordTables.h"
#include "visuals/SymbolSet.h"
#include "visuals/WordVisualResolver.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSvgRenderer>

#include <gtest/gtest.h>

namespace {

// symbols.tsv: name -> Phosphor icon, "-" for a name left without an icon.
QList<std::pair<QString, QString>> mappingRows()
{
    QFile file(QStringLiteral(ZUVIK_ICON_MAPPING));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<std::pair<QString, QString>> rows;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 2)
            rows.append({QString::fromUtf8(fields[0]), QString::fromUtf8(fields[1].trimmed())});
    }
    return rows;
}

QSet<QString> tableSymbolNames()
{
    QSet<QString> names;
    for (const keyword_tables::Row& row : keyword_tables::symbolKeywords())
        names.insert(row.value);
    return names;
}

}  // namespace

TEST(SymbolSet, MappingCoversEveryTableSymbolOnce)
{
    const auto rows = mappingRows();
    QSet<QString> names;
    for (const auto& [name, icon] : rows)
        names.insert(name);
    EXPECT_EQ(rows.size(), 254);
    EXPECT_EQ(names, tableSymbolNames());
}

TEST(SymbolSet, NineNamesAreLeftWithoutAnIcon)
{
    QStringList leftOut;
    for (const auto& [name, icon] : mappingRows())
        if (icon == u"-")
            leftOut.append(name);
    EXPECT_EQ(leftOut, (QStringList{QStringLiteral("rectangle.portrait.on.rectangle.portrait.fill"),
                                    QStringLiteral("mouth.fill"), QStringLiteral("nose.fill"),
                                    QStringLiteral("tortoise.fill"), QStringLiteral("figure.jumprope"),
                                    QStringLiteral("square.grid.3x3.bottommiddle.filled"),
                                    QStringLiteral("clock.badge.exclamationmark"), QStringLiteral("figure.play"),
                                    QStringLiteral("20.circle.fill")}));
    EXPECT_EQ(symbol_set::drawableSymbols().size(), 254 - 9);
}

TEST(SymbolSet, ExistsExactlyForTheMappedNames)
{
    for (const auto& [name, icon] : mappingRows())
        EXPECT_EQ(symbol_set::symbolExists(name), icon != u"-") << name.toStdString();
    for (const char* other : {"", "heart", "heart.fill.svg", "../heart.fill", "HEART.FILL", "ph.heart"})
        EXPECT_FALSE(symbol_set::symbolExists(QString::fromUtf8(other))) << other;
}

TEST(SymbolSet, EveryDrawableSymbolIsAValidSvg)
{
    for (const QString& name : symbol_set::drawableSymbols()) {
        QSvgRenderer renderer(symbol_set::symbolResourcePath(name));
        EXPECT_TRUE(renderer.isValid()) << name.toStdString();
        EXPECT_EQ(renderer.viewBox(), QRect(0, 0, 256, 256)) << name.toStdString();
    }
}

TEST(SymbolSet, ResourcePathsForTheRenderer)
{
    EXPECT_EQ(symbol_set::symbolResourcePath(QStringLiteral("heart.fill")), QStringLiteral(":/icons/heart.fill.svg"));
    EXPECT_EQ(symbol_set::symbolResourceUrl(QStringLiteral("heart.fill")), QUrl(QStringLiteral("qrc:/icons/heart.fill.svg")));
    EXPECT_TRUE(QFile::exists(symbol_set::symbolResourcePath(QStringLiteral("flame.fill"))));
    EXPECT_EQ(symbol_set::symbolResourcePath(QStringLiteral("nose.fill")), QString());
    EXPECT_TRUE(symbol_set::symbolResourceUrl(QStringLiteral("nose.fill")).isEmpty());
}

TEST(SymbolSet, FilteredTableDropsTheKeywordsOfMissingNames)
{
    // mirror 1, lips mouth taste 3, nose 1, turtle slow 2, jump 1, floor 1, late 1, slide 1, twenty 1.
    EXPECT_EQ(KeywordLookup::shared().symbolKeywordCount(), 679 - 12);
    EXPECT_EQ(KeywordLookup::shared().keywordVisual(QStringLiteral("nose")), std::nullopt);
    EXPECT_EQ(KeywordLookup::shared().keywordVisual(QStringLiteral("fire")), WordVisual::symbol(QStringLiteral("flame.fill")));
}

TEST(SymbolSet, CatalogHasTheSearchTermsOfEveryDrawableSymbol)
{
    QFile file(symbol_set::searchIndexPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject catalog = QJsonDocument::fromJson(file.readAll()).object();
    const QStringList names = catalog.keys();
    EXPECT_EQ(QSet<QString>(names.cbegin(), names.cend()),
              QSet<QString>(symbol_set::drawableSymbols().cbegin(), symbol_set::drawableSymbols().cend()));
    EXPECT_TRUE(catalog.value(QStringLiteral("dog.fill")).toVariant().toStringList().contains(QStringLiteral("puppy")));
    for (const QString& name : names)
        for (const QString& term : catalog.value(name).toVariant().toStringList())
            EXPECT_FALSE(term.startsWith(u'*')) << name.toStdString();
}

TEST(SymbolSet, IndexFromTheRealCatalog)
{
    const QHash<QString, QString> index = readSymbolIndex(symbol_set::searchIndexPath(), &symbol_set::symbolExists);
    EXPECT_GT(index.size(), 500);
    EXPECT_EQ(index.value(QStringLiteral("puppy")), QStringLiteral("dog.fill"));
    for (const QString& name : index)
        EXPECT_TRUE(symbol_set::symbolExists(name)) << name.toStdString();
}
