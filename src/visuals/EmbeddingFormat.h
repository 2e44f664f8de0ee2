#pragma once

#include <cstdint>

// The word embedding file, written by zuvik-make-embedding at build time and memory-mapped by
// WordEmbedding. Little-endian, every section 8-byte aligned, offsets in bytes from the file start.
//
//   Header
//   WordEntry[wordCount]          sorted by the word's bytes (plain byte order), for binary search
//   char[stringBytes]             the words' UTF-8 bytes, not terminated
//   uint32[vectorCount + 1]       start of each vector's terms in Term[]
//   Term[termCount]               per vector: features in ascending order, weights of unit length
//   uint32[vectorCount]           the word entry that names each vector (its lemma)
//   uint32[featureCount + 1]      start of each feature's postings in Posting[]
//   Posting[postingCount]         per feature: the lemma vectors that carry it, with their weight
//
// A vector's weights are non-negative, so the cosine of two vectors lies in 0...1. Inflected forms
// are word entries that share their base's vector; only lemma vectors have postings, so the
// neighbours of a word are always lemmas.
namespace embedding_format {

inline constexpr char magic[8] = {'Z', 'U', 'V', 'E', 'M', 'B', '0', '1'};
inline constexpr std::uint32_t version = 1;

struct Header {
    char magic[8];
    std::uint32_t version;
    std::uint32_t wordCount;
    std::uint32_t vectorCount;
    std::uint32_t featureCount;
    std::uint32_t termCount;
    std::uint32_t postingCount;
    std::uint64_t stringBytes;
    std::uint64_t wordsOffset;
    std::uint64_t stringsOffset;
    std::uint64_t vectorStartsOffset;
    std::uint64_t termsOffset;
    std::uint64_t vectorNamesOffset;
    std::uint64_t postingStartsOffset;
    std::uint64_t postingsOffset;
    std::uint64_t fileSize;
};

struct WordEntry {
    std::uint32_t stringOffset;
    std::uint32_t stringLength;
    std::uint32_t vector;
    std::uint32_t isLemma;  // 1 for a WordNet lemma, 0 for an inflected form
};

struct Term {
    std::uint32_t feature;
    float weight;
};

struct Posting {
    std::uint32_t vector;
    float weight;
};

}  // namespace embedding_format
