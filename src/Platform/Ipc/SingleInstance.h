#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "Platform/Ipc/HandOffError.h"

namespace vorela {

// What a later start hands to the running instance.
struct InstanceMessage {
    enum class Kind { activate, openUrl, readText };
    Kind kind = Kind::activate;
    std::string payload;  // the URL, or the selected text (may be empty)

    // "activate\n", "url\n<url>", "text\n<text>"; decoding refuses anything else.
    std::string encoded() const;
    static std::optional<InstanceMessage> decoded(std::string_view bytes);
    bool operator==(const InstanceMessage&) const = default;
};

enum class InstanceRole {
    primary,    // this process is the one instance
    secondary,  // another process is: hand it the message and exit
    failed,     // no lock could be taken at all
};

// One running instance per user and library. The primary owns the script library: claim()
// must come before the library is opened, so a second start never touches the database.
// Messages reach the primary's handler on the main thread, whole, in arrival order.
class SingleInstance {
public:
    using MessageHandler = std::function<void(InstanceMessage)>;

    virtual ~SingleInstance() = default;
    // Takes the per-user lock; as primary, starts listening for later starts.
    virtual InstanceRole claim(MessageHandler onMessage) = 0;
    // As secondary: delivers the message to the primary, and nothing when the primary
    // confirmed it has it.
    virtual std::optional<HandOffError> handOff(const InstanceMessage& message) = 0;
};

}  // namespace vorela
