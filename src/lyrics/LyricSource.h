#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// A place lyrics are asked for, named as the settings and the log name it.
enum class LyricSource {
    ncm,  // the lyrics web service the search and probes of LyricsLookup go to
    lrclib,  // LRCLIB, the open library of synced lyrics
};

QString sourceName(LyricSource source);
std::optional<LyricSource> lyricSourceNamed(QStringView name);
// Every source, in the order a lookup asks them unless the user says otherwise.
QList<LyricSource> defaultSourceOrder();
