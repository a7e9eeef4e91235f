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
        if (!text.empty()) std::memcpy(bytes, text.data(), text.size());
        bytes[kTag] = static_cast<char>(text.size());
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
