#pragma once

#include <cstddef>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>

namespace vorela {

// An immutable string in 16 bytes: up to 15 bytes are kept in place, longer ones in one heap
// block. A script holds several short strings per word, and std::string's 32 bytes per
// string were most of what a loaded script cost.
class CompactString {
public:
    CompactString() noexcept { clearInline(); }
    explicit CompactString(std::string_view text) { assign(text); }
    // Literals convert, so that records of such strings are written like those of std::string.
    CompactString(const char* text) { assign(text); }  // NOLINT(google-explicit-constructor)
    CompactString(const CompactString& other) {
        if (other.onHeap())
            assign(other.view());
        else
            std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    }
    CompactString(CompactString&& other) noexcept {
        std::memcpy(bytes_, other.bytes_, sizeof bytes_);
        other.clearInline();
    }
    CompactString& operator=(const CompactString& other) {
        if (this != &other) *this = other.view();
        return *this;
    }
    CompactString& operator=(CompactString&& other) noexcept {
        if (this != &other) {
            freeBlock();
            std::memcpy(bytes_, other.bytes_, sizeof bytes_);
            other.clearInline();
        }
        return *this;
    }
    CompactString& operator=(std::string_view text);
    ~CompactString() { freeBlock(); }

    std::string_view view() const noexcept {
        if (!onHeap()) return {bytes_, static_cast<std::size_t>(bytes_[kTag])};
        const char* block = heapBlock();
        std::size_t size = 0;
        std::memcpy(&size, block, sizeof size);
        return {block + sizeof size, size};
    }
    operator std::string_view() const noexcept { return view(); }
    std::string str() const { return std::string(view()); }
    const char* data() const noexcept { return view().data(); }
    std::size_t size() const noexcept { return view().size(); }
    bool empty() const noexcept { return size() == 0; }

    friend bool operator==(const CompactString& a, const CompactString& b) noexcept {
        return a.view() == b.view();
    }
    friend bool operator==(const CompactString& a, std::string_view b) noexcept {
        return a.view() == b;
    }
    friend bool operator==(const CompactString& a, const char* b) noexcept {
        return a.view() == std::string_view(b);
    }
    friend std::ostream& operator<<(std::ostream& out, const CompactString& text);

private:
    static constexpr std::size_t kTag = 15;  // inline length 0...15, or kHeap
    static constexpr char kHeap = static_cast<char>(0x7f);

    bool onHeap() const noexcept { return bytes_[kTag] == kHeap; }
    const char* heapBlock() const noexcept {
        const char* block = nullptr;
        std::memcpy(&block, bytes_, sizeof block);
        return block;
    }
    void clearInline() noexcept { std::memset(bytes_, 0, sizeof bytes_); }
    // Overwrites the bytes without freeing what they held.
    void assign(std::string_view text);
    void freeBlock() noexcept {
        if (onHeap()) delete[] heapBlock();
    }

    alignas(8) char bytes_[16];
};

}  // namespace vorela
