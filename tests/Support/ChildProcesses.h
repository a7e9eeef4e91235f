#pragma once

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace vorela::testing {

// Children of this process that have ended and were never waited for, from /proc.
inline int unreapedChildren() {
    int count = 0;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ignored)) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) continue;
        // "pid (name) state ppid ...": the name may hold spaces and parentheses.
        const auto close = line.rfind(')');
        if (close == std::string::npos || close + 4 > line.size()) continue;
        const char state = line[close + 2];
        const long parent = std::strtol(line.c_str() + close + 4, nullptr, 10);
        if (state == 'Z' && parent == getpid()) ++count;
    }
    return count;
}

// Polls until every ended child has been waited for, at most `seconds`.
inline bool childrenReapedWithin(double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (unreapedChildren() > 0) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace vorela::testing
