#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace vorela {

// One code page of an RTF document's 8-bit text (the document's \ansicpgN, \mac, \pc,
// \pca, or a font's character set): turns runs of bytes into UTF-8. Windows-1252 is
// decoded by table; other pages go through ICU's converters, a Mac page (10000 and up)
// through its Mac converter or, for the CJK ones, the Windows page of the same encoding.
// A page ICU does not know reads as Windows-1252. Undecodable bytes become U+FFFD.
class RtfCodePage {
public:
    // Windows' number for a symbol font's "code page": bytes name glyphs, not letters.
    static constexpr int kSymbol = 42;

    RtfCodePage();
    ~RtfCodePage();
    RtfCodePage(const RtfCodePage&) = delete;
    RtfCodePage& operator=(const RtfCodePage&) = delete;
    RtfCodePage(RtfCodePage&&) noexcept;
    RtfCodePage& operator=(RtfCodePage&&) noexcept;

    void select(int codePage);
    int codePage() const { return codePage_; }
    // Whether `byte` opens a two-byte character in this page (Shift-JIS, GBK, Hangul, Big5).
    bool isLeadByte(unsigned char byte) const;
    // Whether even ASCII bytes must be decoded by this page rather than taken as they are.
    bool decodesAscii() const { return codePage_ == kSymbol; }
    // Appends the decoded bytes; a lead byte without its trail reads as U+FFFD.
    void decode(std::string_view bytes, std::string& out);

private:
    struct Converter;
    int codePage_ = 1252;
    int leadFamily_ = 0;  // the Windows double-byte page whose lead bytes apply, 0 for none
    std::unique_ptr<Converter> converter_;
};

}  // namespace vorela
