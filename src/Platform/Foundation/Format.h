#pragma once

#include <string>

namespace vorela {

// printf-style formatting that always uses the C locale ("." as decimal point, no
// grouping), whatever locale the desktop or Qt has set. Every number that reaches a
// text, a log line or a file goes through here.
[[gnu::format(printf, 1, 2)]] std::string format(const char* fmt, ...);

// Shortest text that reads back as the same double ("0.1", "140", "1e-07").
std::string formatDouble(double value);

}  // namespace vorela
