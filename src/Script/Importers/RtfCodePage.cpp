#include "Script/Importers/RtfCodePage.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <string>

#include "Platform/Foundation/Format.h"
#include "Platform/Foundation/Utf8.h"
#include "Script/Importers/RtfSymbolFont.h"

namespace vorela {

namespace {

// ICU ships the Mac pages under their own names; the CJK Mac pages share their encoding
// with a Windows page, and the Mac pages ICU lacks are closest to Mac Roman.
std::string converterName(int codePage) {
    switch (codePage) {
        case 10001:
            return "cp932";
        case 10002:
            return "cp950";
        case 10003:
            return "cp949";
        case 10006:
            return "x-mac-greek";
        case 10007:
            return "x-mac-cyrillic";
        case 10008:
            return "cp936";
        case 10017:
            return "x-MacUkraine";
        case 10021:
            return "cp874";
        case 10029:
            return "x-mac-centraleurroman";
        case 10081:
            return "x-mac-turkish";
        default:
            break;
    }
    if (codePage >= 10000 && codePage < 10100) return "macintosh";
    return format("cp%d", codePage);
}

// The Windows double-byte page whose lead bytes a page uses, 0 for single-byte pages.
int leadFamily(int codePage) {
    switch (codePage) {
        case 932:
        case 10001:
            return 932;
        case 936:
        case 949:
        case 950:
        case 10008:
        case 10003:
        case 10002:
            return 936;
        default:
            return 0;
    }
}

// ICU's default substitute for a single-byte page may be U+001A, a control code; an
// undecodable byte is U+FFFD here whatever the page.
void U_EXPORT2 toReplacementCharacter(const void*, UConverterToUnicodeArgs* args, const char*,
                                      int32_t, UConverterCallbackReason reason,
                                      UErrorCode* status) {
    if (reason > UCNV_IRREGULAR) return;  // reset, close and clone carry no bytes
    *status = U_ZERO_ERROR;
    const UChar replacement = 0xFFFD;
    ucnv_cbToUWriteUChars(args, &replacement, 1, 0, status);
}

}  // namespace

struct RtfCodePage::Converter {
    UConverter* handle = nullptr;
    ~Converter() {
        if (handle) ucnv_close(handle);
    }
};

RtfCodePage::RtfCodePage() = default;
RtfCodePage::~RtfCodePage() = default;
RtfCodePage::RtfCodePage(RtfCodePage&&) noexcept = default;
RtfCodePage& RtfCodePage::operator=(RtfCodePage&&) noexcept = default;

void RtfCodePage::select(int codePage) {
    if (codePage == codePage_) return;
    converter_.reset();
    codePage_ = 1252;
    leadFamily_ = 0;
    if (codePage == 1252) return;
    if (codePage == kSymbol) {
        codePage_ = kSymbol;
        return;
    }
    UErrorCode status = U_ZERO_ERROR;
    UConverter* handle = ucnv_open(converterName(codePage).c_str(), &status);
    if (U_FAILURE(status) || !handle) {
        if (handle) ucnv_close(handle);
        return;
    }
    ucnv_setToUCallBack(handle, toReplacementCharacter, nullptr, nullptr, nullptr, &status);
    converter_ = std::make_unique<Converter>();
    converter_->handle = handle;
    codePage_ = codePage;
    leadFamily_ = leadFamily(codePage);
}

bool RtfCodePage::isLeadByte(unsigned char byte) const {
    if (leadFamily_ == 932) return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    if (leadFamily_ == 936) return byte >= 0x81 && byte <= 0xFE;
    return false;
}

void RtfCodePage::decode(std::string_view bytes, std::string& out) {
    if (codePage_ == kSymbol) return RtfSymbolFont::decode(bytes, out);
    if (!converter_) return unicode::appendWindows1252(out, bytes);
    // Each byte becomes at most three bytes of UTF-8 (a BMP character or U+FFFD); a pair
    // of bytes may become one character outside the BMP, four bytes.
    std::string buffer(bytes.size() * 4 + 4, '\0');
    UErrorCode status = U_ZERO_ERROR;
    ucnv_reset(converter_->handle);
    const int32_t written = ucnv_toAlgorithmic(UCNV_UTF8, converter_->handle, buffer.data(),
                                               static_cast<int32_t>(buffer.size()), bytes.data(),
                                               static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status)) {
        for (std::size_t i = 0; i < bytes.size(); ++i)
            unicode::appendUtf8(out, unicode::kReplacementCharacter);
        return;
    }
    out.append(buffer.data(), static_cast<std::size_t>(written));
}

}  // namespace vorela
