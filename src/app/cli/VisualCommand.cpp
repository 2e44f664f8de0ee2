#include "app/cli/VisualCommand.h"

#include "visuals/KeywordLookup.h"
#include "visuals/WordForms.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace {

constexpr int badArgumentsStatus = 2;

QString pictogram(const std::optional<WordVisual>& visual)
{
    if (!visual)
        return QStringLiteral("none");
    return (visual->isSymbol() ? QStringLiteral("symbol ") : QStringLiteral("emoji ")) + visual->value();
}

QString distanceText(double distance) { return QString::number(distance, 'f', 2); }

QString how(const WordVisualResolver::Explanation& explanation)
{
    using Way = WordVisualResolver::Explanation::Way;
    switch (explanation.way) {
    case Way::table:
        return QStringLiteral("table: ") + explanation.via;
    case Way::symbolCatalog:
        return QStringLiteral("symbol catalog: ") + explanation.via;
    case Way::emojiKeyword:
        return QStringLiteral("emoji keyword: ") + explanation.via;
    case Way::neighbour:
        return QStringLiteral("nearest neighbour: %1, distance %2")
            .arg(explanation.via, distanceText(explanation.distance));
    case Way::anchor:
        return QStringLiteral("anchor: %1, distance %2").arg(explanation.via, distanceText(explanation.distance));
    case Way::stopWord:
        return QStringLiteral("stop word");
    case Way::tooShort:
        return QStringLiteral("shorter than %1 letters").arg(word_forms::minimumKeyLength);
    case Way::none:
        break;
    }
    return QStringLiteral("no table entry, catalog term, emoji keyword, near neighbour or anchor");
}

// Waits (in a terminal command, so blocking is fine) until the memo, catalog and embedding are read.
bool waitUntilLoaded(WordVisualResolver& resolver)
{
    bool embeddingReady = false;
    QEventLoop loop;
    QObject::connect(
        &resolver, &WordVisualResolver::indexesLoaded, &loop,
        [&](qsizetype, bool ready, qsizetype) {
            embeddingReady = ready;
            loop.quit();
        },
        Qt::QueuedConnection);
    if (!resolver.isLoaded())
        loop.exec();
    else
        QCoreApplication::processEvents();  // the queued signal may still be on its way
    return embeddingReady;
}

}  // namespace

bool isVisualCommand(const QStringList& arguments)
{
    return arguments.size() >= 2 && arguments.at(1) == QLatin1String("visual");
}

QString describeExplanation(const QString& word, const WordVisualResolver::Explanation& explanation,
                            const std::optional<QString>& memoValue)
{
    QString line = word + QStringLiteral(" → ");
    if (!memoValue) {
        line += pictogram(explanation.visual) + QStringLiteral(" (") + how(explanation) + u')';
        return line;
    }
    // The overlay draws what the memo holds; say when resolving afresh would now answer otherwise.
    const std::optional<WordVisual> memoised = decodeVisual(*memoValue);
    line += pictogram(memoised) + QStringLiteral(" (memo");
    if (memoised == explanation.visual)
        line += QStringLiteral("; ") + how(explanation) + u')';
    else
        line += QStringLiteral("; afresh it would be %1 by %2)").arg(pictogram(explanation.visual), how(explanation));
    return line;
}

int runVisualCommand(const QStringList& arguments, const WordVisualResolver::Sources& sources,
                     const KeywordLookup& keywords, std::FILE* out, std::FILE* err)
{
    const QStringList words = arguments.mid(2);
    if (words.isEmpty()) {
        std::fprintf(err, "zuvik: visual takes one or more words, e.g. 'zuvik visual love rain'\n");
        return badArgumentsStatus;
    }
    WordVisualResolver resolver(sources, keywords);
    if (!waitUntilLoaded(resolver))
        std::fprintf(err, "zuvik: the word embedding is missing (%s); only the tables and the symbol catalog answer\n",
                     qPrintable(sources.embeddingFile));
    const QHash<QString, QString> memo = resolver.memoSnapshot();
    for (const QString& word : words) {
        const WordVisualResolver::Explanation explanation = resolver.explainWord(word);
        const auto it = memo.constFind(explanation.key);
        const std::optional<QString> memoValue = it == memo.cend() ? std::nullopt : std::optional<QString>(*it);
        std::fprintf(out, "%s\n", describeExplanation(word, explanation, memoValue).toUtf8().constData());
    }
    std::fflush(out);
    return 0;
}
