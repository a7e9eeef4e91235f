#pragma once

#include <zlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorela::testing {

// Writes small ZIP archives for the reader's tests, with knobs to damage them.
struct ZipMember {
    ZipMember(std::string memberName, std::string memberContent)
        : name(std::move(memberName)), content(std::move(memberContent)) {}

    ZipMember& stored() {
        deflate = false;
        return *this;
    }
    ZipMember& withMethod(std::uint16_t value) {
        method = value;
        return *this;
    }
    ZipMember& declaring(std::uint32_t size) {
        declaredSize = size;
        return *this;
    }
    ZipMember& compressedAs(std::uint32_t size) {
        compressedSize = size;
        return *this;
    }
    ZipMember& atLocalOffset(std::uint32_t offset) {
        localOffset = offset;
        return *this;
    }
    ZipMember& withDamagedLocalHeader() {
        damagedLocalHeader = true;
        return *this;
    }

    std::string name;
    std::string content;
    bool deflate = true;
    std::optional<std::uint16_t> method;          // overrides the method written
    std::optional<std::uint32_t> declaredSize;    // overrides the uncompressed size
    std::optional<std::uint32_t> compressedSize;  // overrides the compressed size
    std::optional<std::uint32_t> localOffset;     // overrides the local header's offset
    bool damagedLocalHeader = false;
};

inline std::string rawDeflate(const std::string& content) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, static_cast<uLong>(content.size())) + 16, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.data()));
    z.avail_in = static_cast<uInt>(content.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

class ZipBuilder {
public:
    ZipBuilder& add(ZipMember member) {
        members_.push_back(std::move(member));
        return *this;
    }
    ZipBuilder& comment(std::string text) {
        comment_ = std::move(text);
        return *this;
    }
    // Local headers in reverse order; the central directory keeps the order of add().
    ZipBuilder& reverseLocalHeaders() {
        reverse_ = true;
        return *this;
    }

    std::vector<std::uint8_t> build() const {
        std::string out;
        std::vector<std::uint32_t> offsets(members_.size());
        std::vector<std::string> payloads(members_.size());
        for (std::size_t n = 0; n < members_.size(); ++n) {
            const std::size_t i = reverse_ ? members_.size() - 1 - n : n;
            const auto& m = members_[i];
            payloads[i] = m.deflate ? rawDeflate(m.content) : m.content;
            offsets[i] = static_cast<std::uint32_t>(out.size());
            put32(out, m.damagedLocalHeader ? 0x12345678 : 0x04034b50);
            put16(out, 20);
            put16(out, 0);
            put16(out, method(m));
            put16(out, 0);
            put16(out, 0);
            put32(out, 0);
            put32(out, static_cast<std::uint32_t>(payloads[i].size()));
            put32(out, static_cast<std::uint32_t>(m.content.size()));
            put16(out, static_cast<std::uint16_t>(m.name.size()));
            put16(out, 3);
            out += m.name;
            out += "xyz";  // an extra field, so data offsets must honour its length
            out += payloads[i];
        }
        const auto directory = static_cast<std::uint32_t>(out.size());
        for (std::size_t i = 0; i < members_.size(); ++i) {
            const auto& m = members_[i];
            put32(out, 0x02014b50);
            put16(out, 20);
            put16(out, 20);
            put16(out, 0);
            put16(out, method(m));
            put16(out, 0);
            put16(out, 0);
            put32(out, 0);
            put32(out, m.compressedSize.value_or(static_cast<std::uint32_t>(payloads[i].size())));
            put32(out, m.declaredSize.value_or(static_cast<std::uint32_t>(m.content.size())));
            put16(out, static_cast<std::uint16_t>(m.name.size()));
            put16(out, 2);
            put16(out, 1);
            put16(out, 0);
            put16(out, 0);
            put32(out, 0);
            put32(out, m.localOffset.value_or(offsets[i]));
            out += m.name;
            out += "ex";
            out += "c";
        }
        const auto directorySize = static_cast<std::uint32_t>(out.size()) - directory;
        put32(out, 0x06054b50);
        put16(out, 0);
        put16(out, 0);
        put16(out, static_cast<std::uint16_t>(members_.size()));
        put16(out, static_cast<std::uint16_t>(members_.size()));
        put32(out, directorySize);
        put32(out, directory);
        put16(out, static_cast<std::uint16_t>(comment_.size()));
        out += comment_;
        return {out.begin(), out.end()};
    }

private:
    static std::uint16_t method(const ZipMember& m) { return m.method.value_or(m.deflate ? 8 : 0); }
    static void put16(std::string& out, std::uint16_t v) {
        out.push_back(static_cast<char>(v & 0xFF));
        out.push_back(static_cast<char>(v >> 8));
    }
    static void put32(std::string& out, std::uint32_t v) {
        put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
        put16(out, static_cast<std::uint16_t>(v >> 16));
    }

    std::vector<ZipMember> members_;
    std::string comment_;
    bool reverse_ = false;
};

}  // namespace vorela::testing
