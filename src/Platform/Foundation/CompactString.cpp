#include "Platform/Foundation/CompactString.h"

#include <ostream>

namespace vorela {

CompactString& CompactString::operator=(std::string_view text) {
    // The text may be a view of this string: its block is freed only after the copy.
    const char* old = onHeap() ? heapBlock() : nullptr;
    assign(text);
    delete[] old;
    return *this;
}

void CompactString::assign(std::string_view text) {
    char bytes[sizeof bytes_] = {};
    if (text.size() <= kTag) {
        // Two fixed-size copies that may overlap cost less than a call for a few bytes.
        const char* from = text.data();
        const std::size_t n = text.size();
        if (n >= 8) {
            std::memcpy(bytes, from, 8);
            std::memcpy(bytes + n - 8, from + n - 8, 8);
        } else if (n >= 4) {
            std::memcpy(bytes, from, 4);
            std::memcpy(bytes + n - 4, from + n - 4, 4);
        } else if (n > 0) {
            bytes[0] = from[0];
            bytes[n / 2] = from[n / 2];
            bytes[n - 1] = from[n - 1];
        }
        bytes[kTag] = static_cast<char>(n);
    } else {
        const std::size_t size = text.size();
        char* block = new char[sizeof size + size];
        std::memcpy(block, &size, sizeof size);
        std::memcpy(block + sizeof size, text.data(), size);
        std::memcpy(bytes, &block, sizeof block);
        bytes[kTag] = kHeap;
    }
    std::memcpy(bytes_, bytes, sizeof bytes_);
}

std::ostream& operator<<(std::ostream& out, const CompactString& text) {
    return out << text.view();
}

}  // namespace vorela
