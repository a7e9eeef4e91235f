#include "Platform/Store/Uuid.h"

#include <random>

namespace vorela {

Uuid Uuid::make() {
    // One generator per thread: no lock, and seeded once from the system's entropy.
    thread_local std::mt19937_64 generator{[] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }()};
    Uuid id;
    for (int half = 0; half < 2; ++half) {
        std::uint64_t v = generator();
        for (int i = 0; i < 8; ++i)
            id.bytes[half * 8 + i] = static_cast<std::uint8_t>(v >> (i * 8));
    }
    id.bytes[6] = static_cast<std::uint8_t>((id.bytes[6] & 0x0F) | 0x40);  // version 4
    id.bytes[8] = static_cast<std::uint8_t>((id.bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    return id;
}

std::string Uuid::uuidString() const {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(36);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text.push_back('-');
        text.push_back(kHex[bytes[i] >> 4]);
        text.push_back(kHex[bytes[i] & 0x0F]);
    }
    return text;
}

}  // namespace vorela
