#include "Render/MirrorMode.h"

#include "Platform/Bundle/Bundle.h"

namespace vorela {

std::string_view rawValue(MirrorMode mode) {
    switch (mode) {
        case MirrorMode::none:
            return "none";
        case MirrorMode::horizontal:
            return "horizontal";
        case MirrorMode::vertical:
            return "vertical";
        case MirrorMode::rotated180:
            return "rotated180";
    }
    return "none";
}

std::optional<MirrorMode> fromRawValue(std::type_identity<MirrorMode>, std::string_view raw) {
    for (auto mode : kAllMirrorModes) {
        if (rawValue(mode) == raw) return mode;
    }
    return std::nullopt;
}

std::string localizedName(MirrorMode mode) {
    switch (mode) {
        case MirrorMode::none:
            return Bundle::localized("Sin espejo");
        case MirrorMode::horizontal:
            return Bundle::localized("Espejo horizontal");
        case MirrorMode::vertical:
            return Bundle::localized("Espejo vertical");
        case MirrorMode::rotated180:
            return Bundle::localized("Rotado 180°");
    }
    return {};
}

MirrorScale scale(MirrorMode mode) {
    switch (mode) {
        case MirrorMode::none:
            return {1, 1};
        case MirrorMode::horizontal:
            return {-1, 1};
        case MirrorMode::vertical:
            return {1, -1};
        case MirrorMode::rotated180:
            return {-1, -1};
    }
    return {1, 1};
}

}  // namespace vorela
