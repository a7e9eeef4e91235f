#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace vorela {

// The code page of an RTF document's 8-bit text (\ansicpgN, \mac, \pc, \pca): turns
// runs of bytes into UTF-8. Windows-1252 is decoded by table; other pages go through
// ICU's converters, and a page ICU does not know reads as Windows-1252.
class RtfCodePage {
public:
    RtfCodePage();
    ~RtfCodePage();
    RtfCodePage(const RtfCodePage&) = delete;
    RtfCodePage& operator=(const RtfCodePage&) = delete;
    RtfCodePage(RtfCodePage&&) noexcept;
    RtfCodePage& operator=(RtfCodePage&&) noexcept;

    void select(int codePage);
    int codePage() const { return codePage_; }
    // Appends the decoded bytes; undecodable bytes become U+FFFD.
    void decode(std::string_view bytes, std::string& out);

private:
    struct Converter;
    int codePage_ = 1252;
    std::unique_ptr<Converter> converter_;
};

}  // namespace vorela
