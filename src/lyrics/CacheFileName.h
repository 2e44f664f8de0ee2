#pragma once

#include "playback/NowPlayingTrack.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstdint>

// Naming of the files of the lyrics cache: one file per track, named after a readable slug of the
// track's key and a hash of the whole key.

// "artist|title|seconds", the duration rounded to whole seconds (halves away from zero), or 0
// when it is not a representable number.
QString cacheKey(const NowPlayingTrack& track);

// The key with every scalar that is not a letter, mark or number made "_", cut to its first 80
// characters. Only letters, marks, numbers and "_" remain, so no slug can name another folder.
QString cacheSlug(QStringView key);

// 32-bit FNV-1a.
std::uint32_t fnv1a32(QByteArrayView bytes);

// slug + "-" + FNV-1a of the key's UTF-8 as 8 lowercase hex digits + ".json"; a slug too long for
// a file name (255 bytes) loses characters from its end, the hash still telling keys apart.
QString cacheFileName(QStringView key);
