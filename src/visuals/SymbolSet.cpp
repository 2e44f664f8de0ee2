#include "visuals/SymbolSet.h"

#include <QDir>
#include <QSet>

namespace {

const QString iconFolder = QStringLiteral(":/icons");

const QSet<QString>& drawableSet()
{
    static const QSet<QString> set(symbol_set::drawableSymbols().cbegin(), symbol_set::drawableSymbols().cend());
    return set;
}

}  // namespace

namespace symbol_set {

const QStringList& drawableSymbols()
{
    // The resource folder is the set: what the build copied is exactly what can be drawn.
    static const QStringList names = [] {
        QStringList list;
        const QString suffix = QStringLiteral(".svg");
        for (const QString& file : QDir(iconFolder).entryList(QDir::Files, QDir::Name))
            if (file.endsWith(suffix))
                list.append(file.chopped(suffix.size()));
        return list;
    }();
    return names;
}

bool symbolExists(const QString& name) { return drawableSet().contains(name); }

QString symbolResourcePath(const QString& name)
{
    return symbolExists(name) ? iconFolder + u'/' + name + QStringLiteral(".svg") : QString();
}

QUrl symbolResourceUrl(const QString& name)
{
    return symbolExists(name) ? QUrl(QStringLiteral("qrc:/icons/") + name + QStringLiteral(".svg")) : QUrl();
}

QString searchIndexPath() { return QStringLiteral(":/visuals/symbol_search.json"); }

}  // namespace symbol_set
