#include "Script/Importers/RtfFontTable.h"

#include "Script/Importers/RtfCodePage.h"

namespace vorela {

namespace {

struct Charset {
    long long charset;
    int codePage;
};

// The Windows character sets and the Mac ones (77 and up) writers put in font tables.
constexpr Charset kCharsets[] = {
    {2, RtfCodePage::kSymbol},
    {77, 10000},  // Mac Roman
    {78, 10001},  // Mac Shift-JIS
    {79, 10003},  // Mac Hangul
    {80, 10008},  // Mac GB2312
    {81, 10002},  // Mac Big5
    {83, 10005},  // Mac Hebrew
    {84, 10004},  // Mac Arabic
    {85, 10006},  // Mac Greek
    {86, 10081},  // Mac Turkish
    {87, 10021},  // Mac Thai
    {88, 10029},  // Mac Eastern Europe
    {89, 10007},  // Mac Cyrillic
    {128, 932},   // Shift-JIS
    {129, 949},   // Hangul
    {130, 1361},  // Johab
    {134, 936},   // GB2312
    {136, 950},   // Big5
    {161, 1253},  // Greek
    {162, 1254},  // Turkish
    {163, 1258},  // Vietnamese
    {177, 1255},  // Hebrew
    {178, 1256},  // Arabic
    {186, 1257},  // Baltic
    {204, 1251},  // Cyrillic
    {222, 874},   // Thai
    {238, 1250},  // Eastern Europe
    {255, 437},   // OEM
};

}  // namespace

std::optional<int> RtfFontTable::codePageOfCharset(long long charset) {
    for (const Charset& entry : kCharsets) {
        if (entry.charset == charset) return entry.codePage;
    }
    return std::nullopt;
}

void RtfFontTable::define(long long font) { defining_ = font; }

RtfFontTable::Font* RtfFontTable::definingFont() {
    if (!defining_) return nullptr;
    if (fonts_.size() >= kMaxFonts && !fonts_.contains(*defining_)) return nullptr;
    return &fonts_[*defining_];
}

void RtfFontTable::setCharset(long long charset) {
    if (Font* font = definingFont()) font->charsetPage = codePageOfCharset(charset);
}

void RtfFontTable::setCodePage(long long codePage) {
    if (codePage <= 0 || codePage > 65535) return;
    if (Font* font = definingFont()) font->explicitPage = static_cast<int>(codePage);
}

int RtfFontTable::codePage(long long font, int documentPage) const {
    const auto it = fonts_.find(font);
    if (it == fonts_.end()) return documentPage;
    return it->second.explicitPage.value_or(it->second.charsetPage.value_or(documentPage));
}

}  // namespace vorela
