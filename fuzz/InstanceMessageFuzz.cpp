// Feeds arbitrary bytes to the decoder of what a later start hands the running one over
// the single-instance socket: a message that decodes must encode to the same bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Platform/Ipc/SingleInstance.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto message = vorela::InstanceMessage::decoded(bytes);
    if (message && message->encoded() != bytes) __builtin_trap();
    return 0;
}
