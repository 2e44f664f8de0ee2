#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// One song of the lyrics service's search reply.
struct Candidate {
    std::int64_t id = 0;  // the service's song id, used for the lyric request
    QString name;  // empty when the reply has none
    QStringList artists;  // in reply order
    std::int64_t durationMs = 0;  // 0 when the reply has none

    friend bool operator==(const Candidate&, const Candidate&) = default;
};
