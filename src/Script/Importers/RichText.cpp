#include "Script/Importers/RichText.h"

#include <cstdint>
#include <map>
#include <vector>

#include "Platform/Foundation/Utf8.h"
#include "Script/Importers/RtfCodePage.h"
#include "Script/Importers/RtfFontTable.h"

namespace vorela {

namespace {

// Groups whose content is never text: tables of the header, pictures, field
// instructions, headers and footers, notes and bookkeeping.
constexpr std::string_view kDroppedDestinations[] = {"fonttbl",
                                                     "colortbl",
                                                     "stylesheet",
                                                     "listtable",
                                                     "listoverridetable",
                                                     "revtbl",
                                                     "rsidtbl",
                                                     "info",
                                                     "pict",
                                                     "header",
                                                     "headerl",
                                                     "headerr",
                                                     "headerf",
                                                     "footer",
                                                     "footerl",
                                                     "footerr",
                                                     "footerf",
                                                     "fldinst",
                                                     "xmlnstbl",
                                                     "themedata",
                                                     "colorschememapping",
                                                     "latentstyles",
                                                     "datastore",
                                                     "filetbl",
                                                     "pgdsctbl",
                                                     "generator",
                                                     "footnote",
                                                     "annotation",
                                                     "atnid",
                                                     "atnauthor",
                                                     "nonshppict",
                                                     "bkmkstart",
                                                     "bkmkend",
                                                     "template",
                                                     "userprops",
                                                     "docvar",
                                                     "NeXTGraphic",
                                                     "objdata",
                                                     "objclass",
                                                     "ftnsep",
                                                     "ftnsepc",
                                                     "ftncn",
                                                     "aftnsep",
                                                     "aftnsepc",
                                                     "aftncn"};

struct Symbol {
    std::string_view word;
    char32_t character;
};

constexpr Symbol kSymbols[] = {{"tab", U'\t'},      {"cell", U'\t'},       {"nestcell", U'\t'},
                               {"emdash", 0x2014},  {"endash", 0x2013},    {"lquote", 0x2018},
                               {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
                               {"bullet", 0x2022},  {"emspace", 0x2003},   {"enspace", 0x2002},
                               {"qmspace", 0x2005}, {"zwj", 0x200D},       {"zwnj", 0x200C},
                               {"ltrmark", 0x200E}, {"rtlmark", 0x200F}};

constexpr std::string_view kBreaks[] = {"par", "line", "sect", "page", "row", "nestrow"};

bool isLetter(char ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'); }
bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }

int hexValue(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

template <class Range>
bool contains(const Range& range, std::string_view word) {
    for (const auto& item : range) {
        if (item == word) return true;
    }
    return false;
}

struct GroupState {
    long unicodeSkip = 1;  // \ucN: fallback characters after each \uN
    bool isDropped = false;
    bool isFontTable = false;
    long long font = -1;  // \fN; -1 for the document's default font (\deffN)
};

class Reader {
public:
    explicit Reader(std::string_view rtf) : in_(rtf) {}

    std::optional<std::string> read() {
        while (pos_ < in_.size()) {
            const char ch = in_[pos_++];
            if (ch == '{') {
                if (!openGroup()) return std::nullopt;
            } else if (ch == '}') {
                if (!closeGroup()) break;
            } else if (ch == '\\') {
                control();
            } else if (ch == '\r' || ch == '\n') {
                continue;  // line ends of the file are not text
            } else {
                textByte(static_cast<unsigned char>(ch));
            }
        }
        flushBytes();
        flushSurrogate();
        return std::move(out_);
    }

private:
    GroupState& state() { return groups_.back(); }
    bool isDropped() const { return groups_.back().isDropped; }

    bool openGroup() {
        flushBytes();
        skipping_ = 0;
        if (groups_.size() > RichText::kMaxNesting) return false;
        groups_.push_back(groups_.back());
        atGroupStart_ = true;
        return true;
    }

    // Returns false when the document's outermost group ends.
    bool closeGroup() {
        flushBytes();
        skipping_ = 0;
        if (groups_.size() <= 1) return true;  // a stray "}" is ignored
        groups_.pop_back();
        current_ = nullptr;  // the outer group may be in another font
        return groups_.size() > 1;
    }

    // True while fallback characters after \uN are being dropped; consumes one.
    bool consumeSkip() {
        if (skipping_ <= 0) return false;
        --skipping_;
        return true;
    }

    void textByte(unsigned char byte) {
        atGroupStart_ = false;
        if (consumeSkip() || isDropped()) return;
        if (byte < 0x20 && byte != '\t') return;  // control bytes carry no text
        // A double-byte character may write its second byte as plain ASCII.
        if (byte < 0x80 && !pendingLead_ && !currentPage().decodesAscii()) {
            emit(byte);
        } else {
            pushByte(byte);
        }
    }

    void control() {
        if (pos_ >= in_.size()) return;
        const char ch = in_[pos_];
        const bool opensGroup = atGroupStart_;
        atGroupStart_ = false;
        if (isLetter(ch)) return controlWord();
        ++pos_;
        if (ch == '\'') return hexByte();
        if (ch == '*') {
            // Marks a destination only where it opens a group; elsewhere it means nothing.
            if (opensGroup) state().isDropped = true;
            return;
        }
        if (consumeSkip() || isDropped()) return;
        switch (ch) {
            case '\\':
            case '{':
            case '}':
                if (pendingLead_) return pushByte(static_cast<unsigned char>(ch));
                emit(static_cast<char32_t>(ch));
                break;
            case '~':
                emit(0x00A0);
                break;
            case '_':
                emit(0x2011);
                break;
            case '\n':
            case '\r':
                emit(U'\n');
                break;
            default:
                break;  // \- optional hyphen, \| and \: carry no text
        }
    }

    void hexByte() {
        int value = -1;
        if (in_.size() - pos_ >= 2) {
            const int high = hexValue(in_[pos_]);
            const int low = hexValue(in_[pos_ + 1]);
            if (high >= 0 && low >= 0) value = high * 16 + low;
        }
        if (value < 0) return;
        pos_ += 2;
        if (consumeSkip() || isDropped()) return;
        pushByte(static_cast<unsigned char>(value));
    }

    void controlWord() {
        const std::size_t start = pos_;
        while (pos_ < in_.size() && isLetter(in_[pos_])) ++pos_;
        const std::string_view word = in_.substr(start, pos_ - start);
        bool hasParameter = false;
        long long parameter = 0;
        bool negative = false;
        if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() &&
            isDigit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        for (int digits = 0; pos_ < in_.size() && isDigit(in_[pos_]); ++digits, ++pos_) {
            hasParameter = true;
            if (digits < 10) parameter = parameter * 10 + (in_[pos_] - '0');
        }
        if (negative) parameter = -parameter;
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;  // the delimiting space
        apply(word, hasParameter ? parameter : 0, hasParameter);
    }

    void apply(std::string_view word, long long parameter, bool hasParameter) {
        if (word == "bin") {
            const auto length = static_cast<std::size_t>(parameter > 0 ? parameter : 0);
            pos_ += std::min(length, in_.size() - pos_);
            return;
        }
        if (word == "fonttbl") state().isFontTable = true;
        if (state().isFontTable) return describeFont(word, parameter);
        if (word == "f" || word == "plain" || word == "deff") {
            flushBytes();
            if (word == "deff") defaultFont_ = parameter;
            state().font = word == "f" ? parameter : -1;
            current_ = nullptr;
            return;
        }
        if (contains(kDroppedDestinations, word)) {
            state().isDropped = true;
            // An attachment's group sits in a wrapper that also holds its stand-in character.
            if (word == "NeXTGraphic" && groups_.size() > 3)
                groups_[groups_.size() - 2].isDropped = true;
            return;
        }
        if (word == "uc") {
            state().unicodeSkip = parameter < 0 ? 0 : parameter;
            return;
        }
        if (word == "ansi") return setCodePage(1252);
        if (word == "mac") return setCodePage(10000);
        if (word == "pc") return setCodePage(437);
        if (word == "pca") return setCodePage(850);
        if (word == "ansicpg") {
            return setCodePage(hasParameter && parameter > 0 && parameter <= 65535 ? parameter
                                                                                   : 1252);
        }
        if (consumeSkip() || isDropped()) return;
        if (word == "u") {
            unicodeCharacter(parameter);
            skipping_ = state().unicodeSkip;
            return;
        }
        if (contains(kBreaks, word)) return emit(U'\n');
        for (const auto& symbol : kSymbols) {
            if (symbol.word == word) return emit(symbol.character);
        }
    }

    // A word inside the font table: only the fonts' numbers and character sets matter.
    void describeFont(std::string_view word, long long parameter) {
        state().isDropped = true;
        current_ = nullptr;
        if (word == "f") fonts_.define(parameter);
        if (word == "fcharset") fonts_.setCharset(parameter);
        if (word == "cpg") fonts_.setCodePage(parameter);
    }

    void setCodePage(long long codePage) {
        flushBytes();
        documentPage_ = static_cast<int>(codePage);
        current_ = nullptr;
    }

    // The page of the current font's text; decoders are opened once per page.
    RtfCodePage& currentPage() {
        if (current_) return *current_;
        const long long font = state().font >= 0 ? state().font : defaultFont_;
        const int page = fonts_.codePage(font, documentPage_);
        auto it = pages_.find(page);
        if (it == pages_.end()) {
            it = pages_.emplace(page, RtfCodePage()).first;
            it->second.select(page);
        }
        current_ = &it->second;
        return it->second;
    }

    void pushByte(unsigned char byte) {
        pendingBytes_.push_back(static_cast<char>(byte));
        pendingLead_ = !pendingLead_ && currentPage().isLeadByte(byte);
    }

    void unicodeCharacter(long long value) {
        if (value < 0) value += 65536;
        const auto unit = static_cast<char32_t>(value);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            flushSurrogate();
            highSurrogate_ = unit;
            return;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF && highSurrogate_ != 0) {
            const char32_t combined = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00);
            highSurrogate_ = 0;
            flushBytes();
            appendScalar(combined);
            return;
        }
        emit(unit);
    }

    void emit(char32_t c) {
        flushBytes();
        flushSurrogate();
        appendScalar(c);
    }

    void appendScalar(char32_t c) { unicode::appendUtf8(out_, c); }

    void flushSurrogate() {
        if (highSurrogate_ == 0) return;
        highSurrogate_ = 0;
        appendScalar(unicode::kReplacementCharacter);
    }

    void flushBytes() {
        if (pendingBytes_.empty()) return;
        flushSurrogate();
        currentPage().decode(pendingBytes_, out_);
        pendingBytes_.clear();
        pendingLead_ = false;
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    std::vector<GroupState> groups_{GroupState{}};
    std::string out_;
    std::string pendingBytes_;
    long long skipping_ = 0;
    char32_t highSurrogate_ = 0;
    bool atGroupStart_ = false;  // nothing read yet since the last "{"
    bool pendingLead_ = false;   // pendingBytes_ ends in a lead byte awaiting its trail
    int documentPage_ = 1252;
    long long defaultFont_ = -1;
    RtfFontTable fonts_;
    std::map<int, RtfCodePage> pages_;
    RtfCodePage* current_ = nullptr;  // the page of the current font, found again on a change
};

}  // namespace

bool RichText::looksLikeRtf(std::string_view bytes) { return bytes.starts_with("{\\rtf"); }

std::optional<std::string> RichText::plainText(std::string_view rtf) {
    if (!looksLikeRtf(rtf)) return std::string();
    return Reader(rtf).read();
}

}  // namespace vorela
