#include "Render/MirrorMode.h"

#include "Platform/Bundle/Bundle.h"

namespace vorela {

std::string_view rawValue(MirrorMode mode) { return EnumCases::raw(kMirrorModeCases, mode); }

std::optional<MirrorMode> fromRawValue(std::type_identity<MirrorMode>, std::string_view raw) {
    return EnumCases::fromRaw(kMirrorModeCases, raw);
}

std::string localizedName(MirrorMode mode) {
    return Bundle::localized(EnumCases::name(kMirrorModeCases, mode));
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
