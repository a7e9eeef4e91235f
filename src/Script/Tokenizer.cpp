#include "Script/Tokenizer.h"

#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "Platform/Bundle/SystemLocale.h"
#include "Platform/Log/Log.h"
#include "Script/NumberSpeller.h"
#include "Script/PhoneticKey.h"
#include "Script/Unicode.h"

namespace vorela {

namespace {

constexpr std::int32_t kStackUnits = 128;  // longer words than this are rare; they use the heap

// Maps UTF-16 offsets of the text to its UTF-8 byte offsets. Queries come in nearly
// ascending order, so a cursor that walks from the last answer keeps the whole pass linear.
class OffsetMap {
public:
    explicit OffsetMap(const char16_t* units, std::int32_t length)
        : units_(units), length_(length) {}

    std::size_t byteOffset(std::int32_t target) {
        const std::int32_t limit = std::min(target, length_);
        for (; unit_ < limit && units_[unit_] < 0x80; ++unit_) ++byte_;
        while (unit_ < target && unit_ < length_) {
            UChar32 c = 0;
            U16_NEXT(units_, unit_, length_, c);
            byte_ += U8_LENGTH(c);
        }
        while (unit_ > target && unit_ > 0) {
            UChar32 c = 0;
            U16_PREV(units_, 0, unit_, c);
            byte_ -= U8_LENGTH(c);
        }
        return byte_;
    }

private:
    const char16_t* units_ = nullptr;
    std::int32_t length_ = 0;
    std::int32_t unit_ = 0;
    std::size_t byte_ = 0;
};

// The ASCII fast path: lower-casing and decomposition change nothing but the letters' case.
// Returns false, leaving `out` unspecified, when a unit is not ASCII.
bool normalizeAscii(const char16_t* units, std::int32_t length, std::string& out) {
    out.resize(static_cast<std::size_t>(length));
    char* bytes = out.data();
    std::size_t size = 0;
    for (std::int32_t i = 0; i < length; ++i) {
        const char16_t u = units[i];
        if (u >= 0x80) return false;
        char c = static_cast<char>(u);
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || (c == '-' && size > 0)) {
            bytes[size++] = c;
        }
    }
    out.resize(size);
    return true;
}

// Runs an ICU transformation into a stack buffer, or into `heap` when the result is larger.
template <class Transform>
const char16_t* transform(Transform&& run, char16_t* stack, std::u16string& heap,
                          std::int32_t& length) {
    UErrorCode status = U_ZERO_ERROR;
    length = run(stack, kStackUnits, &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        heap.resize(static_cast<std::size_t>(length));
        status = U_ZERO_ERROR;
        length = run(heap.data(), length, &status);
        if (U_SUCCESS(status)) return heap.data();
    }
    if (U_FAILURE(status)) length = 0;
    return stack;
}

void normalizeUnicode(const char16_t* units, std::int32_t length, std::string& out) {
    char16_t lowerStack[kStackUnits];
    std::u16string lowerHeap;
    std::int32_t lowerLength = 0;
    // The root locale gives the full mapping without language-specific rules.
    const char16_t* lower = transform(
        [&](char16_t* dest, std::int32_t capacity, UErrorCode* status) {
            return u_strToLower(dest, capacity, units, length, "", status);
        },
        lowerStack, lowerHeap, lowerLength);

    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfd = unorm2_getNFDInstance(&status);
    if (U_FAILURE(status)) return;
    char16_t nfdStack[kStackUnits];
    std::u16string nfdHeap;
    std::int32_t nfdLength = 0;
    const char16_t* decomposed = transform(
        [&](char16_t* dest, std::int32_t capacity, UErrorCode* s) {
            return unorm2_normalize(nfd, lower, lowerLength, dest, capacity, s);
        },
        nfdStack, nfdHeap, nfdLength);

    for (std::int32_t i = 0; i < nfdLength;) {
        UChar32 c = 0;
        U16_NEXT(decomposed, i, nfdLength, c);
        const auto scalar = static_cast<char32_t>(c);
        if (unicode::isLetterOrNumber(scalar) || (c == '-' && !out.empty())) {
            unicode::appendUtf8(out, scalar);
        }
    }
}

// Below the Greek block lower-casing needs no context and decomposition only reorders marks,
// which are dropped, so a word there normalises code point by code point. The pieces are
// computed once by the general path and never change afterwards.
constexpr char16_t kLatinLimit = 0x370;

const std::array<std::string, kLatinLimit>& latinPieces() {
    static const auto pieces = [] {
        std::array<std::string, kLatinLimit> table;
        for (char16_t u = 0x80; u < kLatinLimit; ++u) normalizeUnicode(&u, 1, table[u]);
        return table;
    }();
    return pieces;
}

// Returns false, leaving `out` unspecified, when a unit is beyond the table.
bool normalizeLatin(const char16_t* units, std::int32_t length, std::string& out) {
    const auto& pieces = latinPieces();
    out.clear();
    for (std::int32_t i = 0; i < length; ++i) {
        const char16_t u = units[i];
        if (u >= kLatinLimit) return false;
        if (u >= 0x80) {
            out += pieces[u];
            continue;
        }
        char c = static_cast<char>(u);
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || (c == '-' && !out.empty()))
            out += c;
    }
    return true;
}

// Marks are dropped, letters and numbers of every category kept (u_isalnum would lose
// "²"), a hyphen kept only inside the word.
void normalizeInto(const char16_t* units, std::int32_t length, std::string& out) {
    if (!normalizeAscii(units, length, out) && !normalizeLatin(units, length, out)) {
        out.clear();
        normalizeUnicode(units, length, out);
    }
    while (!out.empty() && out.back() == '-') out.pop_back();
}

bool hasDecimalDigit(const char16_t* units, std::int32_t length) {
    for (std::int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U16_NEXT(units, i, length, c);
        if (c < 0x80 ? (c >= '0' && c <= '9') : unicode::isDecimalDigit(static_cast<char32_t>(c))) {
            return true;
        }
    }
    return false;
}

// Moves a word's end past the punctuation and symbols that follow it; a symbol's marks,
// variation selectors and joiners go with it so that no character is cut in two.
std::int32_t extendEnd(const char16_t* units, std::int32_t length, std::int32_t end,
                       bool& sentenceEnd) {
    const auto& enders = Tokenizer::sentenceEnders();
    while (end < length) {
        std::int32_t next = end;
        UChar32 c = 0;
        U16_NEXT(units, next, length, c);
        if (!unicode::isPunctuationOrSymbol(static_cast<char32_t>(c))) break;
        if (enders.count(static_cast<char32_t>(c)) != 0) sentenceEnd = true;
        end = next;
        while (end < length) {
            U16_NEXT(units, next, length, c);
            if (!unicode::continuesCharacter(static_cast<char32_t>(c))) break;
            end = next;
        }
    }
    return end;
}

// Moves a word's start back over the symbols (and the letter "Q" of a quetzal price) before
// it, whole characters at a time; punctuation in front ("¿", "(") stays outside.
std::int32_t extendStart(const char16_t* units, std::int32_t start) {
    while (start > 0) {
        std::int32_t previous = start;
        UChar32 c = 0;
        do {
            U16_PREV(units, 0, previous, c);
        } while (previous > 0 && unicode::continuesCharacter(static_cast<char32_t>(c)));
        if (c != 'Q' && !unicode::isSymbol(static_cast<char32_t>(c))) break;
        start = previous;
    }
    return start;
}

std::string currentWordLocale() {
    const auto locale = SystemLocale::current();
    if (locale.language.empty()) return "en_US";
    return locale.region.empty() ? locale.language : locale.language + "_" + locale.region;
}

}  // namespace

Tokenizer::Tokenizer(Language language, std::string wordLocale)
    : language_(language),
      wordLocale_(wordLocale.empty() ? currentWordLocale() : std::move(wordLocale)) {}

namespace {

// Runs `onWord(start, end, sentenceEnd)` for each word-like segment of `text16`, with its
// UTF-16 bounds once absorbed punctuation and symbols are added; it is a spoken word when
// its normalised form is not empty. False when ICU cannot break the text into words for
// that locale.
// FNV-1a over the units: words are short, and the library's hash of the bytes costs more
// than the lookup it serves.
std::uint32_t spellingHash(const char16_t* units, std::int32_t length) {
    std::uint64_t hash = 14695981039346656037u;
    for (std::int32_t i = 0; i < length; ++i) hash = (hash ^ units[i]) * 1099511628211u;
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

// The distinct spellings of one pass, each numbered in the order first seen. Open addressing
// in one flat array: a node-based map allocated per spelling and chased pointers per word.
// A spelling is kept as its place in the text, so nothing is copied.
class SpellingTable {
public:
    explicit SpellingTable(const char16_t* units) : units_(units), slots_(kInitialSlots) {}

    // The number of the spelling units_[start, end), and whether it was new.
    std::pair<std::uint32_t, bool> find(std::int32_t start, std::int32_t end) {
        const std::int32_t length = end - start;
        const std::uint32_t hash = spellingHash(units_ + start, length);
        std::size_t mask = slots_.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot& slot = slots_[i];
            if (slot.number == kEmpty) break;
            if (slot.hash != hash) continue;
            const Spelling& known = spellings_[slot.number];
            if (known.length == length &&
                std::equal(units_ + start, units_ + end, units_ + known.start)) {
                return {slot.number, false};
            }
        }
        const auto number = static_cast<std::uint32_t>(spellings_.size());
        spellings_.push_back({start, length});
        if (spellings_.size() * 2 > slots_.size()) grow();
        mask = slots_.size() - 1;
        std::size_t i = hash & mask;
        while (slots_[i].number != kEmpty) i = (i + 1) & mask;
        slots_[i] = {hash, number};
        return {number, true};
    }

private:
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t number = kEmpty;
    };
    struct Spelling {
        std::int32_t start;
        std::int32_t length;
    };
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
    static constexpr std::size_t kInitialSlots = 8192;  // a power of two

    void grow() {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        const std::size_t mask = slots_.size() - 1;
        for (const Slot& slot : old) {
            if (slot.number == kEmpty) continue;
            std::size_t i = slot.hash & mask;
            while (slots_[i].number != kEmpty) i = (i + 1) & mask;
            slots_[i] = slot;
        }
    }

    const char16_t* units_;
    std::vector<Slot> slots_;
    std::vector<Spelling> spellings_;
};

template <class OnWord>
bool forEachWord(const icu::UnicodeString& text16, const std::string& wordLocale, OnWord&& onWord) {
    if (text16.isEmpty()) return true;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> words(
        icu::BreakIterator::createWordInstance(icu::Locale(wordLocale.c_str()), status));
    if (U_FAILURE(status) || !words) {
        Log("library").error("No se pudo preparar la división en palabras para " + wordLocale);
        return false;
    }
    words->setText(text16);
    const char16_t* units = text16.getBuffer();
    const std::int32_t length = text16.length();
    std::int32_t start = words->first();
    for (std::int32_t end = words->next(); end != icu::BreakIterator::DONE;
         start = end, end = words->next()) {
        // Only word-like segments count, as the platform's word enumeration gives them:
        // spaces, punctuation and pictographs have the "none" status.
        if (end <= start || words->getRuleStatus() < UBRK_WORD_NONE_LIMIT) continue;
        bool sentenceEnd = false;
        const std::int32_t tokenEnd = extendEnd(units, length, end, sentenceEnd);
        onWord(extendStart(units, start), tokenEnd, sentenceEnd);
    }
    return true;
}

}  // namespace

std::vector<Token> Tokenizer::tokenize(std::string_view text) const {
    std::int32_t replacements = 0;
    const icu::UnicodeString text16 = unicode::toUtf16(text, &replacements);
    std::string sanitized;
    if (replacements > 0) {
        text16.toUTF8String(sanitized);
        text = sanitized;
    }
    // A script says the same words again and again, so each distinct spelling is normalised
    // and keyed once. Its keys are taken when the tokens are built, after all words are
    // found: the list then has its exact size (it is kept as long as the script is loaded,
    // and growing it would move every token).
    struct Form {
        CompactString norm;  // empty: not a spoken word
        CompactString phon;
        SpokenVariants variants;  // shared by the form's words
        bool keyed = false;
    };
    struct Word {
        std::int32_t start;
        std::int32_t end;
        std::uint32_t form;
        bool sentenceEnd;
    };
    const char16_t* units = text16.getBuffer();
    std::vector<Form> forms;
    SpellingTable formOf(units);
    std::vector<Word> words;
    words.reserve(static_cast<std::size_t>(text16.length() / 6));
    std::string norm;
    forEachWord(text16, wordLocale_,
                [&](std::int32_t tokenStart, std::int32_t tokenEnd, bool sentenceEnd) {
                    const auto [form, isNew] = formOf.find(tokenStart, tokenEnd);
                    if (isNew) {
                        normalizeInto(units + tokenStart, tokenEnd - tokenStart, norm);
                        forms.emplace_back().norm = norm;
                    }
                    if (forms[form].norm.empty()) return;
                    words.push_back({tokenStart, tokenEnd, form, sentenceEnd});
                });

    std::vector<Token> tokens;
    tokens.reserve(words.size());
    OffsetMap offsets(units, text16.length());
    for (const Word& word : words) {
        const auto byteBegin = static_cast<std::uint32_t>(offsets.byteOffset(word.start));
        const auto byteEnd = static_cast<std::uint32_t>(offsets.byteOffset(word.end));
        const std::string_view raw = text.substr(byteBegin, byteEnd - byteBegin);
        Form& form = forms[word.form];
        if (!form.keyed) {
            form.phon = phonetic(form.norm, language_);
            if (hasDecimalDigit(units + word.start, word.end - word.start))
                form.variants = NumberSpeller::variants(raw, language_);
            form.keyed = true;
        }
        // Built whole and moved in, so the list's memory is written once.
        tokens.push_back(Token{
            .raw = CompactString(raw),
            .norm = form.norm,
            .phon = form.phon,
            .variants = form.variants,
            .range = {byteBegin, byteEnd},
            .utf16Range = {static_cast<std::uint32_t>(word.start),
                           static_cast<std::uint32_t>(word.end - word.start)},
            .index = static_cast<std::int32_t>(tokens.size()),
            .isSentenceEnd = word.sentenceEnd,
        });
    }
    return tokens;
}

long Tokenizer::countWords(std::string_view text) const {
    long count = 0;
    const icu::UnicodeString text16 = unicode::toUtf16(text);
    const char16_t* units = text16.getBuffer();
    std::string norm;
    forEachWord(text16, wordLocale_, [&](std::int32_t start, std::int32_t end, bool) {
        normalizeInto(units + start, end - start, norm);
        if (!norm.empty()) ++count;
    });
    return count;
}

std::string Tokenizer::normalize(std::string_view word) {
    const icu::UnicodeString units = unicode::toUtf16(word);
    std::string out;
    normalizeInto(units.getBuffer(), units.length(), out);
    return out;
}

std::string Tokenizer::spanishPhonetic(std::string_view word) { return PhoneticKey::spanish(word); }
std::string Tokenizer::englishPhonetic(std::string_view word) { return PhoneticKey::english(word); }
std::string Tokenizer::collapseRepeats(std::string_view text) {
    return PhoneticKey::collapseRepeats(text);
}

std::string Tokenizer::phonetic(std::string_view word, Language language) {
    return language == Language::english ? PhoneticKey::english(word) : PhoneticKey::spanish(word);
}

const std::set<char32_t>& Tokenizer::sentenceEnders() {
    static const std::set<char32_t> enders = {U'.', U'!', U'?', U'\u2026'};
    return enders;
}

Tokenizer::Language Tokenizer::languageFor(TranscriptionLocale locale) {
    return isEnglish(locale) ? Language::english : Language::spanish;
}

std::string_view rawValue(Tokenizer::Language language) {
    return language == Tokenizer::Language::english ? "english" : "spanish";
}

std::optional<Tokenizer::Language> fromRawValue(std::type_identity<Tokenizer::Language>,
                                                std::string_view raw) {
    for (auto language : Tokenizer::allLanguages) {
        if (rawValue(language) == raw) return language;
    }
    return std::nullopt;
}

}  // namespace vorela
