#include "Script/Importers/RtfCodePage.h"

#include <unicode/ucnv.h>

#include <string>

#include "Platform/Foundation/Format.h"
#include "Platform/Foundation/Utf8.h"

namespace vorela {

namespace {

std::string converterName(int codePage) {
    if (codePage == 10000) return "macintosh";
    return format("cp%d", codePage);
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
    if (codePage == 1252) return;
    UErrorCode status = U_ZERO_ERROR;
    UConverter* handle = ucnv_open(converterName(codePage).c_str(), &status);
    if (U_FAILURE(status) || !handle) {
        if (handle) ucnv_close(handle);
        return;
    }
    converter_ = std::make_unique<Converter>();
    converter_->handle = handle;
    codePage_ = codePage;
}

void RtfCodePage::decode(std::string_view bytes, std::string& out) {
    if (!converter_) {
        unicode::appendWindows1252(out, bytes);
        return;
    }
    // Each byte becomes at most three bytes of UTF-8 (a BMP character or U+FFFD).
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
