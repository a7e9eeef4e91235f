#include "Platform/Foundation/Inflate.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace vorela {

namespace {

// zlib counts in uInt; larger buffers are fed in slices of this size.
constexpr std::size_t kSlice = std::numeric_limits<uInt>::max();

class RawInflater {
public:
    RawInflater() { isReady_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK; }
    ~RawInflater() {
        if (isReady_) inflateEnd(&stream_);
    }
    RawInflater(const RawInflater&) = delete;
    RawInflater& operator=(const RawInflater&) = delete;
    RawInflater(RawInflater&&) = delete;
    RawInflater& operator=(RawInflater&&) = delete;

    bool isReady() const { return isReady_; }
    z_stream& stream() { return stream_; }

private:
    z_stream stream_{};
    bool isReady_ = false;
};

}  // namespace

std::optional<std::vector<std::uint8_t>> inflateRaw(std::span<const std::uint8_t> compressed,
                                                    std::size_t expectedSize) {
    if (expectedSize == 0 || compressed.empty()) return std::nullopt;
    RawInflater inflater;
    if (!inflater.isReady()) return std::nullopt;

    std::vector<std::uint8_t> output(expectedSize);
    z_stream& z = inflater.stream();
    std::size_t consumed = 0;
    std::size_t produced = 0;
    while (true) {
        const std::size_t inSlice = std::min(kSlice, compressed.size() - consumed);
        const std::size_t outSlice = std::min(kSlice, output.size() - produced);
        // zlib never writes through next_in; the cast only satisfies its old C signature.
        z.next_in = const_cast<Bytef*>(compressed.data() + consumed);
        z.avail_in = static_cast<uInt>(inSlice);
        z.next_out = output.data() + produced;
        z.avail_out = static_cast<uInt>(outSlice);
        const int status = inflate(&z, Z_NO_FLUSH);
        consumed += inSlice - z.avail_in;
        produced += outSlice - z.avail_out;
        if (status == Z_STREAM_END) break;
        // Damaged data: what was decoded before the damage is kept.
        if (status != Z_OK && status != Z_BUF_ERROR) break;
        if (produced == output.size()) break;  // the rest would be cut off anyway
        // No progress with room left on both sides: the stream ends before its last block,
        // and what it held up to there is kept.
        if (status == Z_BUF_ERROR) break;
    }
    if (produced == 0) return std::nullopt;
    if (produced < output.size()) {
        output.resize(produced);
        output.shrink_to_fit();  // a size claimed but not delivered should not stay allocated
    }
    return output;
}

}  // namespace vorela
