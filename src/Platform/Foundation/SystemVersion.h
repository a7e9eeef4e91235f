#pragma once

#include <string>
#include <string_view>

namespace vorela {

// The running system's version as three whole numbers joined by "." ("6.1.0"): the
// kernel release's leading numbers, missing parts as 0. Read once per call.
std::string currentSystemVersion();

// The leading "major.minor.patch" of a release text, padded with zeros ("15.5" gives
// "15.5.0", "6.1.0-18-amd64" gives "6.1.0"); "0.0.0" when it starts with no number.
std::string systemVersionText(std::string_view release);

}  // namespace vorela
