#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Script/Importers/Expected.h"

namespace vorela {

// Why an archive could not be read; the description is what the user sees.
struct ZipArchiveError {
    enum class Kind { corrupt, memberTooLarge, archiveTooLarge };
    Kind kind = Kind::corrupt;
    std::string memberName;  // for memberTooLarge

    std::string description() const;
    bool operator==(const ZipArchiveError&) const = default;
};

// Reads selected members of a ZIP archive held wholly in memory: stored or deflated
// members only; no ZIP64, encryption, multi-disk archives or writing.
class ZipArchive {
public:
    struct Entry {
        std::string name;  // UTF-8; invalid sequences replaced by U+FFFD
        std::vector<std::uint8_t> data;
    };
    using Result = Expected<std::vector<Entry>, ZipArchiveError>;

    // Untrusted archives claim sizes freely: a member is refused above this size, and an
    // archive whose accepted members would unpack to more than kMaxTotalSize in all.
    static constexpr std::uint64_t kMaxMemberSize = 64ull << 20;
    static constexpr std::uint64_t kMaxTotalSize = 256ull << 20;

    explicit ZipArchive(std::vector<std::uint8_t> data) : data_(std::move(data)) {}

    const std::vector<std::uint8_t>& data() const { return data_; }

    // The members whose names `matching` accepts, in central-directory order. Damaged
    // members are left out silently, except a deflate stream damaged part-way, which
    // keeps the bytes decoded before the damage; only a missing end record (corrupt) or a
    // size over the limits fails the whole read.
    Result entries(const std::function<bool(std::string_view)>& matching) const;

private:
    std::optional<std::uint64_t> findCentralDirectoryOffset() const;
    std::uint32_t readUInt32(std::uint64_t at) const;
    std::uint16_t readUInt16(std::uint64_t at) const;
    bool fits(std::uint64_t at, std::uint64_t length) const;

    std::vector<std::uint8_t> data_;
};

}  // namespace vorela
