// Build-time tool: turns the WordNet database into the word embedding file (EmbeddingFormat.h).
//
//   zuvik-make-embedding WORDNET_DIR OUTPUT_FILE
//
// Every WordNet lemma made of letters a-z gets a sparse vector whose features are synsets. A sense
// contributes its own synset and, with smaller weights, the synsets it points to: hypernyms (two
// levels), similar-to, derivations, pertainyms, attributes, also-see and verb groups. Earlier senses
// (WordNet lists them by frequency) weigh more, a part of speech weighs by how often its senses are
// seen in tagged text, and a feature shared by very many lemmas weighs less (inverse document
// frequency), so that "puppy" lies near "dog" and "automobile" near "car" while "entity" links
// nothing. Irregular forms (WordNet's exception lists) and regular inflections (plurals, -s, -ed,
// -ing, -er, -est) are added as words sharing their base's vector.
#include "visuals/EmbeddingFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

using Features = std::unordered_map<std::uint32_t, double>;

constexpr const char* posNames[] = {"noun", "verb", "adj", "adv"};
constexpr std::size_t maxTermsPerVector = 64;

// How much of a sense's weight each kind of link passes on.
struct LinkWeight {
    const char* symbol;
    double weight;
};
constexpr LinkWeight linkWeights[] = {
    {"@", 0.7},  {"@i", 0.7},  // hypernym, instance hypernym (and their hypernyms at 0.7 of that)
    {"&", 0.8},  // similar to (adjective clusters)
    {"+", 0.7},  // derivationally related form
    {"\\", 0.7},  // pertainym / derived from adjective
    {"=", 0.5},  // attribute
    {"$", 0.6},  // verb group
    {"^", 0.4},  // also see
};

int posIndex(char pos)
{
    switch (pos) {
    case 'n':
        return 0;
    case 'v':
        return 1;
    case 'a':
    case 's':
        return 2;
    case 'r':
        return 3;
    default:
        return -1;
    }
}

std::uint64_t synsetKey(int pos, std::uint32_t offset) { return (std::uint64_t(pos) << 32) | offset; }

struct Pointer {
    double weight;
    bool isHypernym;
    std::uint64_t target;
};

struct Synset {
    std::uint32_t feature;
    std::vector<Pointer> pointers;
};

bool isLetterWord(const std::string& word)
{
    return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

class WordNet {
public:
    explicit WordNet(std::string dir)
        : m_dir(std::move(dir))
    {}

    bool load()
    {
        for (int pos = 0; pos < 4; ++pos)
            if (!loadData(pos) || !loadIndex(pos) || !loadExceptions(pos))
                return false;
        return true;
    }

    std::uint32_t featureCount() const { return m_nextFeature; }
    const std::map<std::string, Features>& lemmaFeatures() const { return m_lemmas; }
    const std::map<std::string, std::set<std::string>>& exceptions() const { return m_exceptions; }
    // Lemmas by part of speech, for the regular inflections.
    const std::set<std::string>& lemmasOf(int pos) const { return m_lemmasByPos[pos]; }

private:
    std::string path(const char* prefix, int pos) const { return m_dir + "/" + prefix + posNames[pos]; }

    bool loadData(int pos)
    {
        std::ifstream in(path("data.", pos));
        if (!in) {
            std::cerr << "cannot read " << path("data.", pos) << "\n";
            return false;
        }
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == ' ')
                continue;  // licence header
            std::istringstream fields(line.substr(0, line.find(" | ")));
            std::uint32_t offset = 0;
            std::string lexFile, type, wordCountHex;
            fields >> offset >> lexFile >> type >> wordCountHex;
            const int words = std::stoi(wordCountHex, nullptr, 16);
            for (int i = 0; i < words; ++i) {
                std::string word, lexId;
                fields >> word >> lexId;
            }
            int pointerCount = 0;
            fields >> pointerCount;
            Synset synset{m_nextFeature++, {}};
            for (int i = 0; i < pointerCount; ++i) {
                std::string symbol, targetPos, sourceTarget;
                std::uint32_t target = 0;
                fields >> symbol >> target >> targetPos >> sourceTarget;
                for (const LinkWeight& link : linkWeights)
                    if (symbol == link.symbol)
                        synset.pointers.push_back(
                            {link.weight, symbol[0] == '@', synsetKey(posIndex(targetPos[0]), target)});
            }
            m_synsets.emplace(synsetKey(pos, offset), std::move(synset));
        }
        return true;
    }

    void addSense(Features& features, std::uint64_t key, double weight) const
    {
        const auto it = m_synsets.find(key);
        if (it == m_synsets.end())
            return;
        features[it->second.feature] += weight;
        for (const Pointer& pointer : it->second.pointers) {
            const auto target = m_synsets.find(pointer.target);
            if (target == m_synsets.end())
                continue;
            const double linked = weight * pointer.weight;
            features[target->second.feature] += linked;
            if (!pointer.isHypernym)
                continue;
            for (const Pointer& second : target->second.pointers) {
                const auto grand = m_synsets.find(second.target);
                if (second.isHypernym && grand != m_synsets.end())
                    features[grand->second.feature] += linked * second.weight;
            }
        }
    }

    bool loadIndex(int pos)
    {
        std::ifstream in(path("index.", pos));
        if (!in) {
            std::cerr << "cannot read " << path("index.", pos) << "\n";
            return false;
        }
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == ' ')
                continue;
            std::istringstream fields(line);
            std::string lemma, posChar;
            int synsetCount = 0, pointerCount = 0;
            fields >> lemma >> posChar >> synsetCount >> pointerCount;
            for (int i = 0; i < pointerCount; ++i) {
                std::string symbol;
                fields >> symbol;
            }
            int senseCount = 0, taggedSenses = 0;
            fields >> senseCount >> taggedSenses;
            if (!isLetterWord(lemma))
                continue;
            m_lemmasByPos[pos].insert(lemma);
            // A part of speech whose senses are often seen in tagged text counts for more: "love"
            // is more noun and verb than anything else.
            const double posWeight = std::sqrt(1.0 + taggedSenses);
            Features& features = m_lemmas[lemma];
            for (int rank = 1; rank <= synsetCount; ++rank) {
                std::uint32_t offset = 0;
                fields >> offset;
                addSense(features, synsetKey(pos, offset), posWeight / rank);
            }
        }
        return true;
    }

    bool loadExceptions(int pos)
    {
        std::ifstream in(m_dir + "/" + (pos == 0 ? "noun" : pos == 1 ? "verb" : pos == 2 ? "adj" : "adv") + ".exc");
        if (!in)
            return true;  // optional
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::string form, base;
            fields >> form;
            while (fields >> base)
                if (isLetterWord(form) && isLetterWord(base))
                    m_exceptions[form].insert(base);
        }
        return true;
    }

    std::string m_dir;
    std::uint32_t m_nextFeature = 0;
    std::unordered_map<std::uint64_t, Synset> m_synsets;
    std::map<std::string, Features> m_lemmas;
    std::set<std::string> m_lemmasByPos[4];
    std::map<std::string, std::set<std::string>> m_exceptions;
};

bool isVowel(char c) { return std::strchr("aeiou", c) != nullptr; }

// One vowel group, ending consonant-vowel-consonant (not w, x, y): "stop" doubles, "visit" does not.
bool doublesFinalConsonant(const std::string& w)
{
    const std::size_t n = w.size();
    if (n < 3 || isVowel(w[n - 1]) || std::strchr("wxy", w[n - 1]) || !isVowel(w[n - 2]) || isVowel(w[n - 3]))
        return false;
    int groups = 0;
    for (std::size_t i = 0; i < n; ++i)
        if (isVowel(w[i]) && (i == 0 || !isVowel(w[i - 1])))
            ++groups;
    return groups == 1;
}

bool endsWith(const std::string& w, const char* suffix)
{
    const std::size_t n = std::strlen(suffix);
    return w.size() >= n && w.compare(w.size() - n, n, suffix) == 0;
}

std::string sForm(const std::string& w)
{
    if (endsWith(w, "s") || endsWith(w, "x") || endsWith(w, "z") || endsWith(w, "ch") || endsWith(w, "sh"))
        return w + "es";
    if (w.size() > 1 && w.back() == 'y' && !isVowel(w[w.size() - 2]))
        return w.substr(0, w.size() - 1) + "ies";
    return w + "s";
}

// Suffix "ed", "er", "est" or "ing" added with the usual spelling changes.
std::string suffixForm(const std::string& w, const std::string& suffix)
{
    const bool vowelSuffix = true;
    if (suffix == "ing") {
        if (endsWith(w, "ie"))
            return w.substr(0, w.size() - 2) + "ying";
        if (w.back() == 'e' && !endsWith(w, "ee") && !endsWith(w, "ye") && !endsWith(w, "oe") && w.size() > 2)
            return w.substr(0, w.size() - 1) + "ing";
    } else {
        if (w.back() == 'e')
            return w + suffix.substr(1);
        if (w.size() > 1 && w.back() == 'y' && !isVowel(w[w.size() - 2]))
            return w.substr(0, w.size() - 1) + "i" + suffix;
    }
    if (vowelSuffix && doublesFinalConsonant(w))
        return w + w.back() + suffix;
    return w + suffix;
}

void normalise(std::vector<embedding_format::Term>& terms)
{
    double sum = 0;
    for (const auto& term : terms)
        sum += double(term.weight) * term.weight;
    const double norm = std::sqrt(sum);
    for (auto& term : terms)
        term.weight = norm > 0 ? float(term.weight / norm) : 0.0f;
}

// The strongest features, weighted by rarity, in feature order and of unit length.
std::vector<embedding_format::Term> toTerms(const Features& features, const std::vector<double>& idf)
{
    std::vector<embedding_format::Term> terms;
    terms.reserve(features.size());
    for (const auto& [feature, weight] : features)
        terms.push_back({feature, float(weight * idf[feature])});
    std::sort(terms.begin(), terms.end(), [](const auto& a, const auto& b) {
        return a.weight != b.weight ? a.weight > b.weight : a.feature < b.feature;
    });
    if (terms.size() > maxTermsPerVector)
        terms.resize(maxTermsPerVector);
    std::sort(terms.begin(), terms.end(), [](const auto& a, const auto& b) { return a.feature < b.feature; });
    normalise(terms);
    return terms;
}

template <typename T> void writeSection(std::ofstream& out, const std::vector<T>& items)
{
    out.write(reinterpret_cast<const char*>(items.data()), std::streamsize(items.size() * sizeof(T)));
    static const char zeros[8] = {};
    const auto position = std::uint64_t(out.tellp());
    out.write(zeros, std::streamsize((8 - position % 8) % 8));
}

std::uint64_t aligned(std::uint64_t n) { return (n + 7) / 8 * 8; }

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: zuvik-make-embedding WORDNET_DIR OUTPUT_FILE\n";
        return 2;
    }
    WordNet wordnet(argv[1]);
    if (!wordnet.load())
        return 1;

    const auto& lemmas = wordnet.lemmaFeatures();
    std::vector<std::uint32_t> documentFrequency(wordnet.featureCount(), 0);
    for (const auto& [lemma, features] : lemmas)
        for (const auto& [feature, weight] : features)
            ++documentFrequency[feature];
    std::vector<double> idf(wordnet.featureCount());
    const double documents = double(lemmas.size()) + 1.0;
    for (std::size_t f = 0; f < idf.size(); ++f)
        idf[f] = std::log(documents / (documentFrequency[f] + 1.0)) / std::log(documents);

    // Lemma vectors first; their index is their position in `lemmas`.
    std::vector<std::vector<embedding_format::Term>> vectors;
    std::map<std::string, std::uint32_t> vectorOf;  // word -> vector
    std::vector<std::string> vectorName;
    for (const auto& [lemma, features] : lemmas) {
        vectorOf[lemma] = std::uint32_t(vectors.size());
        vectorName.push_back(lemma);
        vectors.push_back(toTerms(features, idf));
    }
    const std::size_t lemmaVectors = vectors.size();

    // Inflected forms: each to the set of lemmas it inflects.
    std::map<std::string, std::set<std::string>> forms = wordnet.exceptions();
    for (const std::string& noun : wordnet.lemmasOf(0))
        forms[sForm(noun)].insert(noun);
    for (const std::string& verb : wordnet.lemmasOf(1)) {
        forms[sForm(verb)].insert(verb);
        forms[suffixForm(verb, "ed")].insert(verb);
        forms[suffixForm(verb, "ing")].insert(verb);
    }
    for (const std::string& adjective : wordnet.lemmasOf(2)) {
        if (adjective.size() > 6)
            continue;  // long adjectives take "more" and "most"
        forms[suffixForm(adjective, "er")].insert(adjective);
        forms[suffixForm(adjective, "est")].insert(adjective);
    }
    std::map<std::string, std::uint32_t> formVector;
    for (const auto& [form, bases] : forms) {
        if (lemmas.count(form))
            continue;  // a lemma keeps its own meaning ("rose" is a flower, not only the past of rise)
        std::vector<std::uint32_t> baseVectors;
        for (const std::string& base : bases)
            if (const auto it = vectorOf.find(base); it != vectorOf.end())
                baseVectors.push_back(it->second);
        if (baseVectors.empty())
            continue;
        if (baseVectors.size() == 1) {
            formVector[form] = baseVectors.front();
            continue;
        }
        Features combined;
        for (const std::uint32_t v : baseVectors)
            for (const auto& term : vectors[v])
                combined[term.feature] += term.weight;
        std::vector<double> flat(wordnet.featureCount(), 1.0);
        formVector[form] = std::uint32_t(vectors.size());
        vectorName.push_back(form);
        vectors.push_back(toTerms(combined, flat));
    }

    // The word table, sorted by bytes: std::map iteration order over the union.
    std::map<std::string, std::pair<std::uint32_t, bool>> words;
    for (const auto& [lemma, v] : vectorOf)
        words[lemma] = {v, true};
    for (const auto& [form, v] : formVector)
        words[form] = {v, false};

    std::vector<embedding_format::WordEntry> entries;
    std::vector<char> strings;
    std::map<std::string, std::uint32_t> entryOf;
    for (const auto& [word, value] : words) {
        entryOf[word] = std::uint32_t(entries.size());
        entries.push_back(
            {std::uint32_t(strings.size()), std::uint32_t(word.size()), value.first, value.second ? 1u : 0u});
        strings.insert(strings.end(), word.begin(), word.end());
    }
    std::vector<std::uint32_t> vectorStarts;
    std::vector<embedding_format::Term> terms;
    std::vector<std::uint32_t> vectorNames;
    for (std::size_t v = 0; v < vectors.size(); ++v) {
        vectorStarts.push_back(std::uint32_t(terms.size()));
        terms.insert(terms.end(), vectors[v].begin(), vectors[v].end());
        vectorNames.push_back(entryOf.at(vectorName[v]));
    }
    vectorStarts.push_back(std::uint32_t(terms.size()));

    std::vector<std::vector<embedding_format::Posting>> byFeature(wordnet.featureCount());
    for (std::size_t v = 0; v < lemmaVectors; ++v)
        for (const auto& term : vectors[v])
            byFeature[term.feature].push_back({std::uint32_t(v), term.weight});
    std::vector<std::uint32_t> postingStarts;
    std::vector<embedding_format::Posting> postings;
    for (const auto& list : byFeature) {
        postingStarts.push_back(std::uint32_t(postings.size()));
        postings.insert(postings.end(), list.begin(), list.end());
    }
    postingStarts.push_back(std::uint32_t(postings.size()));

    embedding_format::Header header{};
    std::memcpy(header.magic, embedding_format::magic, sizeof header.magic);
    header.version = embedding_format::version;
    header.wordCount = std::uint32_t(entries.size());
    header.vectorCount = std::uint32_t(vectors.size());
    header.featureCount = wordnet.featureCount();
    header.termCount = std::uint32_t(terms.size());
    header.postingCount = std::uint32_t(postings.size());
    header.stringBytes = strings.size();
    std::uint64_t at = aligned(sizeof header);
    header.wordsOffset = at;
    at = aligned(at + entries.size() * sizeof(embedding_format::WordEntry));
    header.stringsOffset = at;
    at = aligned(at + strings.size());
    header.vectorStartsOffset = at;
    at = aligned(at + vectorStarts.size() * 4);
    header.termsOffset = at;
    at = aligned(at + terms.size() * sizeof(embedding_format::Term));
    header.vectorNamesOffset = at;
    at = aligned(at + vectorNames.size() * 4);
    header.postingStartsOffset = at;
    at = aligned(at + postingStarts.size() * 4);
    header.postingsOffset = at;
    at = aligned(at + postings.size() * sizeof(embedding_format::Posting));
    header.fileSize = at;

    const std::string output = argv[2];
    const std::string partial = output + ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        writeSection(out, std::vector<embedding_format::Header>{header});
        writeSection(out, entries);
        writeSection(out, strings);
        writeSection(out, vectorStarts);
        writeSection(out, terms);
        writeSection(out, vectorNames);
        writeSection(out, postingStarts);
        writeSection(out, postings);
        if (!out || std::uint64_t(out.tellp()) != header.fileSize) {
            std::cerr << "cannot write " << partial << "\n";
            return 1;
        }
    }
    if (std::rename(partial.c_str(), output.c_str()) != 0) {
        std::cerr << "cannot replace " << output << "\n";
        return 1;
    }
    std::cout << "word embedding: " << entries.size() << " words, " << vectors.size() << " vectors, " << terms.size()
              << " terms, " << header.fileSize / (1024 * 1024) << " MiB\n";
    return 0;
}
