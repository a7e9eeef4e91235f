#include "Script/Importers/ZipArchive.h"

#include <algorithm>
#include <span>

#include "Platform/Bundle/Bundle.h"
#include "Platform/Foundation/Inflate.h"
#include "Platform/Foundation/Utf8.h"

namespace vorela {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kDirectorySignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint64_t kEndRecordSize = 22;
constexpr std::uint64_t kDirectoryRecordSize = 46;
constexpr std::uint64_t kLocalHeaderSize = 30;
// The end record's comment is at most 65,535 bytes long.
constexpr std::uint64_t kMaxEndSearch = kEndRecordSize + 0xFFFF + 1;
// A ZIP64 archive marks its real sizes and offsets with this value.
constexpr std::uint32_t kZip64Marker = 0xFFFFFFFF;

enum Method : std::uint16_t { kStored = 0, kDeflated = 8 };

}  // namespace

std::string ZipArchiveError::description() const {
    switch (kind) {
        case Kind::corrupt:
            return Bundle::localized(
                "No se pudo abrir el archivo porque no tiene el formato correcto.");
        case Kind::memberTooLarge:
            return Bundle::localized(
                       "El archivo tiene una parte demasiado grande para importarla (") +
                   memberName + Bundle::localized(" ocupa más de 64 MB).");
        case Kind::archiveTooLarge:
            return Bundle::localized(
                "El archivo descomprimido ocuparía más de 256 MB; no se puede importar.");
    }
    return {};
}

bool ZipArchive::fits(std::uint64_t at, std::uint64_t length) const {
    return at <= data_.size() && length <= data_.size() - at;
}

std::uint32_t ZipArchive::readUInt32(std::uint64_t at) const {
    if (!fits(at, 4)) return 0;
    return static_cast<std::uint32_t>(data_[at]) | static_cast<std::uint32_t>(data_[at + 1]) << 8 |
           static_cast<std::uint32_t>(data_[at + 2]) << 16 |
           static_cast<std::uint32_t>(data_[at + 3]) << 24;
}

std::uint16_t ZipArchive::readUInt16(std::uint64_t at) const {
    if (!fits(at, 2)) return 0;
    return static_cast<std::uint16_t>(data_[at] | data_[at + 1] << 8);
}

std::optional<std::uint64_t> ZipArchive::findCentralDirectoryOffset() const {
    const std::uint64_t count = data_.size();
    if (count < kEndRecordSize) return std::nullopt;
    const std::uint64_t last = count - kEndRecordSize;
    const std::uint64_t first = count > kMaxEndSearch ? count - kMaxEndSearch : 0;
    for (std::uint64_t pos = last + 1; pos-- > first;) {
        if (readUInt32(pos) == kEndSignature) return readUInt32(pos + 16);
    }
    return std::nullopt;
}

ZipArchive::Result ZipArchive::entries(
    const std::function<bool(std::string_view)>& matching) const {
    const auto directory = findCentralDirectoryOffset();
    if (!directory) return ZipArchiveError{ZipArchiveError::Kind::corrupt, {}};

    // First the walk, then the limits, then the extraction: nothing is allocated for an
    // archive whose accepted members claim too much.
    struct Member {
        std::string name;
        std::uint16_t method = kStored;
        std::uint64_t dataPos = 0;
        std::uint32_t compressedSize = 0;
        std::uint32_t uncompressedSize = 0;
    };
    std::vector<Member> members;
    std::uint64_t unpackedTotal = 0;
    std::uint64_t pos = *directory;
    while (fits(pos, kDirectoryRecordSize) && readUInt32(pos) == kDirectorySignature) {
        const std::uint16_t method = readUInt16(pos + 10);
        const std::uint32_t compressedSize = readUInt32(pos + 20);
        const std::uint32_t uncompressedSize = readUInt32(pos + 24);
        const std::uint16_t nameLength = readUInt16(pos + 28);
        const std::uint16_t extraLength = readUInt16(pos + 30);
        const std::uint16_t commentLength = readUInt16(pos + 32);
        const std::uint32_t localOffset = readUInt32(pos + 42);
        const std::uint64_t namePos = pos + kDirectoryRecordSize;
        // A name running past the data ends the walk: nothing after it can be trusted.
        if (!fits(namePos, nameLength)) break;
        const std::string_view rawName(reinterpret_cast<const char*>(data_.data() + namePos),
                                       nameLength);
        pos = namePos + nameLength + extraLength + commentLength;

        std::string name = unicode::sanitizeUtf8(rawName);
        if (!matching(name)) continue;
        const bool isZip64 = compressedSize == kZip64Marker || uncompressedSize == kZip64Marker ||
                             localOffset == kZip64Marker;
        const bool hasLocalHeader =
            fits(localOffset, kLocalHeaderSize) && readUInt32(localOffset) == kLocalSignature;
        const std::uint64_t dataPos = std::uint64_t{localOffset} + kLocalHeaderSize +
                                      readUInt16(localOffset + 26) + readUInt16(localOffset + 28);
        if (isZip64 || !hasLocalHeader || !fits(dataPos, compressedSize) ||
            (method != kStored && method != kDeflated)) {
            continue;
        }
        const std::uint64_t declared = method == kStored ? compressedSize : uncompressedSize;
        if (declared > kMaxMemberSize) {
            return ZipArchiveError{ZipArchiveError::Kind::memberTooLarge, std::move(name)};
        }
        unpackedTotal += declared;
        if (unpackedTotal > kMaxTotalSize) {
            return ZipArchiveError{ZipArchiveError::Kind::archiveTooLarge, {}};
        }
        members.push_back({std::move(name), method, dataPos, compressedSize, uncompressedSize});
    }

    std::vector<Entry> result;
    result.reserve(members.size());
    for (auto& member : members) {
        const std::span<const std::uint8_t> bytes(data_.data() + member.dataPos,
                                                  member.compressedSize);
        if (member.method == kStored) {
            result.push_back({std::move(member.name), {bytes.begin(), bytes.end()}});
        } else if (member.uncompressedSize == 0) {
            result.push_back({std::move(member.name), {}});
        } else if (auto inflated = inflateRaw(bytes, member.uncompressedSize)) {
            result.push_back({std::move(member.name), std::move(*inflated)});
        }
    }
    return result;
}

}  // namespace vorela
