#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vorela {

// Raw DEFLATE (RFC 1951: no zlib header or trailer), decoded into a buffer of exactly
// `expectedSize` bytes. Output beyond that size is cut off, so the caller's size bounds
// the allocation. A damaged or truncated stream yields the bytes decoded before the
// damage; nothing comes back only when not one byte could be decoded. Thread-safe;
// keeps no state.
std::optional<std::vector<std::uint8_t>> inflateRaw(std::span<const std::uint8_t> compressed,
                                                    std::size_t expectedSize);

}  // namespace vorela
