#include "Platform/Ipc/SingleInstance.h"

#include <array>
#include <utility>

namespace vorela {
namespace {

constexpr std::array<std::pair<InstanceMessage::Kind, std::string_view>, 3> kKinds{{
    {InstanceMessage::Kind::activate, "activate"},
    {InstanceMessage::Kind::openUrl, "url"},
    {InstanceMessage::Kind::readText, "text"},
}};

}  // namespace

std::string InstanceMessage::encoded() const {
    for (const auto& [k, name] : kKinds) {
        if (k == kind) return std::string(name) + "\n" + payload;
    }
    return {};
}

std::optional<InstanceMessage> InstanceMessage::decoded(std::string_view bytes) {
    const std::size_t newline = bytes.find('\n');
    if (newline == std::string_view::npos) return std::nullopt;
    const std::string_view name = bytes.substr(0, newline);
    for (const auto& [kind, kindName] : kKinds) {
        if (kindName != name) continue;
        InstanceMessage message{kind, std::string(bytes.substr(newline + 1))};
        if (kind == Kind::activate && !message.payload.empty()) return std::nullopt;
        return message;
    }
    return std::nullopt;
}

}  // namespace vorela
