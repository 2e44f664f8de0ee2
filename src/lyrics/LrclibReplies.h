#pragma once

#include "lyrics/Candidate.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

// One LRCLIB record: who it is (id, trackName, artistName, duration in seconds) and its texts.
struct LrclibRecord {
    Candidate candidate;  // source lrclib, one artist: the record's artistName as written
    bool instrumental = false;
    bool hasPlainLyrics = false;
    std::optional<QString> syncedLyrics;  // LRC text; absent when null, missing or empty
};

// Pure readings of LRCLIB's replies. A record needs an integer id, a string trackName and
// artistName and a numeric duration; anything else is not a record.
std::optional<LrclibRecord> lrclibRecordFrom(const QJsonObject& object);
// The reply of /api/get: one record; nothing for any other shape.
std::optional<LrclibRecord> lrclibRecordFromReply(const QJsonDocument& reply);
// The reply of /api/search: an array of records, in reply order; elements that are not records
// are skipped. Nothing when the top level is not an array.
std::optional<QList<LrclibRecord>> lrclibRecordsFromReply(const QJsonDocument& reply);
