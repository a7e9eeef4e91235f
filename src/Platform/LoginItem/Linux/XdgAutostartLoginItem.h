#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "Platform/LoginItem/LoginItem.h"

namespace vorela {

// Launch at login through the desktop's autostart folder: registering writes
// $XDG_CONFIG_HOME/autostart/app.vorela.Vorela.desktop (atomically), removing deletes it.
// The status is read back from that file, so an entry the user hid or removed by hand
// shows as not registered.
class XdgAutostartLoginItem final : public LoginItem {
public:
    static constexpr const char* kFileName = "app.vorela.Vorela.desktop";

    // `program` is what the entry runs; `configHome` overrides the XDG lookup (tests).
    explicit XdgAutostartLoginItem(std::string program,
                                   std::optional<std::filesystem::path> configHome = {});

    LoginItemStatus status() const override;
    std::optional<LoginItemFailure> registerItem() override;
    std::optional<LoginItemFailure> unregisterItem() override;

    // The entry's location; nothing when there is no configuration folder.
    std::optional<std::filesystem::path> entryPath() const;
    // The running program's own path (/proc/self/exe), else "vorela".
    static std::string currentProgram();

private:
    std::string entryText() const;

    std::string program_;
    std::optional<std::filesystem::path> configHome_;
};

}  // namespace vorela
