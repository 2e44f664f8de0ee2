#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

// One release offered by an update feed: a Sparkle-style appcast, RSS 2.0 whose items carry the
// build version as `sparkle:version` (on the enclosure or as an element of the item).
struct AppcastRelease {
    QString version;  // compared with the running version
    QString displayVersion;  // sparkle:shortVersionString, else the version
    QString title;
    QString notes;  // the item's description as plain text
    QUrl link;  // where a person downloads it: the enclosure, else the item's link

    friend bool operator==(const AppcastRelease&, const AppcastRelease&) = default;
};

// The newest release of the feed, or nothing when the text is not an RSS document or lists no
// item with a version and an http(s) address.
std::optional<AppcastRelease> newestRelease(const QByteArray& feed);

// Orders version strings the way release numbers read: numeric runs compare as numbers, so
// 1.10 > 1.9, and missing components count as zero, so 1.2 == 1.2.0; a component with letters
// after its number is a pre-release of that number (1.0b1 < 1.0). Negative, zero or positive.
int compareVersions(const QString& a, const QString& b);
