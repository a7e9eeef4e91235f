#include "FollowLog.h"

#include "Platform/Foundation/Json.h"

namespace vorela::follow {

FollowLog FollowLog::parse(std::string_view text) {
    FollowLog log;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        const std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        if (line.find_first_not_of(" \t\r") == std::string_view::npos) continue;
        const auto json = Json::parse(line);
        if (!json || !json->is_object() || !json->contains("t") || !json->contains("start") ||
            !(*json)["t"].is_number() || !(*json)["start"].is_number_integer()) {
            ++log.badLines;
            continue;
        }
        log.moves.push_back({(*json)["t"].get<double>(), (*json)["start"].get<long>()});
    }
    return log;
}

}  // namespace vorela::follow
