#include "app/menu/Appcast.h"

#include <QStringList>
#include <QTextDocumentFragment>
#include <QXmlStreamReader>

namespace {

const QString sparkleNamespace = QStringLiteral("http://www.andymatuschak.org/xml-namespaces/sparkle");

// Digit runs as numbers without overflow: fewer significant digits is smaller.
int compareDigits(QStringView a, QStringView b)
{
    while (a.size() > 1 && a.front() == u'0')
        a = a.mid(1);
    while (b.size() > 1 && b.front() == u'0')
        b = b.mid(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

qsizetype digitRun(QStringView text)
{
    qsizetype n = 0;
    while (n < text.size() && text[n] >= u'0' && text[n] <= u'9')
        ++n;
    return n;
}

qsizetype letterRun(QStringView text)
{
    qsizetype n = 0;
    while (n < text.size() && (text[n] < u'0' || text[n] > u'9'))
        ++n;
    return n;
}

// Runs of digits against runs of other characters, each compared by its own kind.
int compareSuffixes(QStringView a, QStringView b)
{
    while (!a.isEmpty() && !b.isEmpty()) {
        const qsizetype da = digitRun(a);
        const qsizetype db = digitRun(b);
        if ((da > 0) != (db > 0))
            return da > 0 ? 1 : -1;  // a number against letters: the letters (a pre-release tag) are lower
        const qsizetype na = da > 0 ? da : letterRun(a);
        const qsizetype nb = db > 0 ? db : letterRun(b);
        const int order = da > 0 ? compareDigits(a.first(na), b.first(nb))
                                 : a.first(na).compare(b.first(nb), Qt::CaseInsensitive);
        if (order != 0)
            return order < 0 ? -1 : 1;
        a = a.mid(na);
        b = b.mid(nb);
    }
    if (a.isEmpty() == b.isEmpty())
        return 0;
    return a.isEmpty() ? -1 : 1;
}

int compareComponents(QStringView a, QStringView b)
{
    const qsizetype da = digitRun(a);
    const qsizetype db = digitRun(b);
    const int number = compareDigits(da > 0 ? a.first(da) : u"0", db > 0 ? b.first(db) : u"0");
    if (number != 0)
        return number < 0 ? -1 : 1;
    const QStringView sa = a.mid(da);
    const QStringView sb = b.mid(db);
    if (sa.isEmpty() != sb.isEmpty())
        return sa.isEmpty() ? 1 : -1;  // "0b1" is before "0"
    return compareSuffixes(sa, sb);
}

QStringList componentsOf(const QString& version)
{
    QString text = version.trimmed();
    if (text.startsWith(u'v') || text.startsWith(u'V'))
        text.remove(0, 1);
    return text.split(u'.');
}

bool isWebAddress(const QUrl& url)
{
    return url.isValid() && (url.scheme() == u"https" || url.scheme() == u"http") && !url.host().isEmpty();
}

struct ItemReading {
    AppcastRelease release;
    QUrl enclosure;
    QUrl itemLink;
};

void readItem(QXmlStreamReader& xml, ItemReading& item)
{
    while (xml.readNextStartElement()) {
        const bool sparkle = xml.namespaceUri() == sparkleNamespace;
        const QStringView name = xml.name();
        if (name == u"enclosure" && xml.namespaceUri().isEmpty()) {
            const QXmlStreamAttributes attributes = xml.attributes();
            item.enclosure = QUrl(attributes.value(QStringLiteral("url")).toString().trimmed());
            if (attributes.hasAttribute(sparkleNamespace, QStringLiteral("version")))
                item.release.version =
                    attributes.value(sparkleNamespace, QStringLiteral("version")).toString().trimmed();
            if (attributes.hasAttribute(sparkleNamespace, QStringLiteral("shortVersionString")))
                item.release.displayVersion =
                    attributes.value(sparkleNamespace, QStringLiteral("shortVersionString")).toString().trimmed();
            xml.skipCurrentElement();
        } else if (sparkle && name == QStringLiteral("version")) {
            item.release.version = xml.readElementText().trimmed();
        } else if (sparkle && name == QStringLiteral("shortVersionString")) {
            item.release.displayVersion = xml.readElementText().trimmed();
        } else if (!sparkle && name == u"title") {
            item.release.title = xml.readElementText().trimmed();
        } else if (!sparkle && name == u"link") {
            item.itemLink = QUrl(xml.readElementText().trimmed());
        } else if (!sparkle && name == u"description") {
            // Release notes are HTML in most feeds; shown as plain text, nothing is fetched for them.
            item.release.notes = QTextDocumentFragment::fromHtml(xml.readElementText()).toPlainText().trimmed();
        } else {
            xml.skipCurrentElement();
        }
    }
}

}  // namespace

int compareVersions(const QString& a, const QString& b)
{
    const QStringList left = componentsOf(a);
    const QStringList right = componentsOf(b);
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const int order = compareComponents(i < left.size() ? QStringView(left[i]) : u"0",
                                            i < right.size() ? QStringView(right[i]) : u"0");
        if (order != 0)
            return order;
    }
    return 0;
}

std::optional<AppcastRelease> newestRelease(const QByteArray& feed)
{
    QXmlStreamReader xml(feed);
    if (!xml.readNextStartElement() || xml.name() != u"rss")
        return std::nullopt;
    std::optional<AppcastRelease> newest;
    while (xml.readNextStartElement()) {
        if (xml.name() != u"channel") {
            xml.skipCurrentElement();
            continue;
        }
        while (xml.readNextStartElement()) {
            if (xml.name() != u"item") {
                xml.skipCurrentElement();
                continue;
            }
            ItemReading item;
            readItem(xml, item);
            AppcastRelease& release = item.release;
            release.link = isWebAddress(item.enclosure) ? item.enclosure : item.itemLink;
            if (release.displayVersion.isEmpty())
                release.displayVersion = release.version;
            if (release.version.isEmpty() || !isWebAddress(release.link))
                continue;
            if (!newest || compareVersions(release.version, newest->version) > 0)
                newest = release;
        }
    }
    // A document cut short or broken anywhere is not trusted in part.
    if (xml.hasError())
        return std::nullopt;
    return newest;
}
