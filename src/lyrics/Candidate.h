#pragma once

#include "lyrics/LyricSource.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// One song a source found for a track: a search result of the service, or an LRCLIB record.
struct Candidate {
    std::int64_t id = 0;  // the source's song id (for the service, what the lyric request asks for)
    QString name;  // empty when the reply has none
    QStringList artists;  // in reply order
    std::int64_t durationMs = 0;  // 0 when the reply has none
    LyricSource source = LyricSource::ncm;

    friend bool operator==(const Candidate&, const Candidate&) = default;
};
