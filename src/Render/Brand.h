#pragma once

#include "Platform/Foundation/Color.h"

namespace vorela::Brand {

// The accent shared by the panel, the windows and the default highlight: sRGB (247, 126, 45).
inline const Color& accent() {
    static const Color kAccent = Color::sRGB8(247, 126, 45);
    return kAccent;
}

}  // namespace vorela::Brand
