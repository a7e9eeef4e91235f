#include "Platform/Speech/PocketSphinx/ScriptLanguageModel.h"

#include <cmath>
#include <cstdint>
#include <unordered_map>

#include "Platform/Foundation/Format.h"

namespace vorela {

namespace {

using Id = std::uint32_t;
constexpr Id kStart = 0;
constexpr Id kEnd = 1;

std::uint64_t key2(Id a, Id b) { return (std::uint64_t(a) << 32) | b; }

struct Key3 {
    Id a, b, c;
    bool operator==(const Key3&) const = default;
};
struct Key3Hash {
    std::size_t operator()(const Key3& k) const {
        return std::hash<std::uint64_t>()(key2(k.a, k.b) * 1000003u ^ k.c);
    }
};

// log10 with a floor: ARPA has no minus infinity.
double log10Of(double p) { return p > 0 ? std::log10(p) : -99.0; }

void appendLine(std::string& out, double logProb, const std::string& words, const double* backoff) {
    out += format("%.6f", logProb);
    out += ' ';
    out += words;
    if (backoff) {
        out += ' ';
        out += format("%.6f", *backoff);
    }
    out += '\n';
}

}  // namespace

std::string ScriptLanguageModel::arpa(const Input& input) {
    std::vector<std::string> names{"<s>", "</s>"};
    std::unordered_map<std::string, Id> ids{{"<s>", kStart}, {"</s>", kEnd}};
    auto idOf = [&](const std::string& word) {
        auto [at, added] = ids.emplace(word, static_cast<Id>(names.size()));
        if (added) names.push_back(word);
        return at->second;
    };

    std::unordered_map<Id, double> unigrams;
    std::unordered_map<std::uint64_t, double> bigrams;
    std::unordered_map<Key3, double, Key3Hash> trigrams;
    auto count = [&](const std::vector<Id>& seq, bool countsEnds) {
        for (std::size_t i = 0; i < seq.size(); ++i) {
            if (countsEnds || (seq[i] != kStart && seq[i] != kEnd)) unigrams[seq[i]] += 1;
            if (i >= 1) bigrams[key2(seq[i - 1], seq[i])] += 1;
            if (i >= 2) trigrams[{seq[i - 2], seq[i - 1], seq[i]}] += 1;
        }
    };
    std::vector<Id> stream{kStart};
    for (const auto& word : input.stream) stream.push_back(idOf(word));
    stream.push_back(kEnd);
    count(stream, true);
    for (const auto& alternative : input.alternatives) {
        std::vector<Id> seq;
        for (const auto& word : alternative) seq.push_back(idOf(word));
        count(seq, false);
    }
    std::vector<Id> garbage;
    for (const auto& word : input.garbageWords) garbage.push_back(idOf(word));

    // Unigrams: maximum likelihood over the script, garbage sharing its own part.
    const double garbageShare = garbage.empty() ? 0.0 : input.garbageWeight;
    double total = 0;
    for (const auto& [id, c] : unigrams) {
        if (id != kStart) total += c;
    }
    std::vector<double> pUni(names.size(), 0.0);
    for (const auto& [id, c] : unigrams) {
        if (id != kStart) pUni[id] = (1 - garbageShare) * c / total;
    }
    for (const Id id : garbage) pUni[id] += garbageShare / double(garbage.size());

    // Bigrams: context totals, follower counts and the back-off weight of each context.
    std::unordered_map<Id, double> contextTotal, contextFollowers, followerUniMass;
    for (const auto& [k, c] : bigrams) {
        const Id v = Id(k >> 32), w = Id(k & 0xffffffffu);
        contextTotal[v] += c;
        contextFollowers[v] += 1;
        followerUniMass[v] += pUni[w];
    }
    auto pBi = [&](Id v, double c) { return (c - kDiscount) / contextTotal[v]; };
    std::unordered_map<Id, double> alphaUni;
    for (const auto& [v, t] : contextTotal) {
        const double left = kDiscount * contextFollowers[v] / t;
        const double room = 1 - followerUniMass[v];
        alphaUni[v] = room > 1e-9 ? left / room : 1.0;
    }

    // Trigrams the same way, backing off to the bigram.
    std::unordered_map<std::uint64_t, double> pairTotal, pairFollowers, pairBiMass;
    for (const auto& [k, c] : trigrams) {
        const std::uint64_t uv = key2(k.a, k.b);
        pairTotal[uv] += c;
        pairFollowers[uv] += 1;
        pairBiMass[uv] += pBi(k.b, bigrams[key2(k.b, k.c)]);
    }

    std::string out;
    out.reserve(64 * (names.size() + bigrams.size() + trigrams.size()));
    out += "\\data\\\n";
    out += format("ngram 1=%zu\n", names.size());
    out += format("ngram 2=%zu\n", bigrams.size());
    out += format("ngram 3=%zu\n\n", trigrams.size());

    out += "\\1-grams:\n";
    for (Id id = 0; id < names.size(); ++id) {
        const double logProb = id == kStart ? -99.0 : log10Of(pUni[id]);
        const auto alpha = alphaUni.find(id);
        const double backoff = alpha == alphaUni.end() ? 0.0 : log10Of(alpha->second);
        appendLine(out, logProb, names[id], id == kEnd ? nullptr : &backoff);
    }
    out += "\n\\2-grams:\n";
    for (const auto& [k, c] : bigrams) {
        const Id v = Id(k >> 32), w = Id(k & 0xffffffffu);
        const std::string words = names[v] + ' ' + names[w];
        const auto pair = pairTotal.find(k);
        if (pair == pairTotal.end()) {
            appendLine(out, log10Of(pBi(v, c)), words, nullptr);
            continue;
        }
        const double left = kDiscount * pairFollowers[k] / pair->second;
        const double room = 1 - pairBiMass[k];
        const double backoff = log10Of(room > 1e-9 ? left / room : 1.0);
        appendLine(out, log10Of(pBi(v, c)), words, &backoff);
    }
    out += "\n\\3-grams:\n";
    for (const auto& [k, c] : trigrams) {
        const double p = (c - kDiscount) / pairTotal[key2(k.a, k.b)];
        appendLine(out, log10Of(p), names[k.a] + ' ' + names[k.b] + ' ' + names[k.c], nullptr);
    }
    out += "\n\\end\\\n";
    return out;
}

}  // namespace vorela
