#include "ReadingPlan.h"

#include <charconv>
#include <sstream>

namespace vorela::follow {

namespace {

std::optional<long> parseIndex(const std::string& token, const ScriptWords& script) {
    if (token == "end") return static_cast<long>(script.size()) - 1;
    long value = -1;
    const auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (ec != std::errc() || ptr != token.data() + token.size()) return std::nullopt;
    if (value < 0 || value >= static_cast<long>(script.size())) return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::vector<ReadingPlan::SpokenWord>> ReadingPlan::spokenWords(
    std::string_view plan, const ScriptWords& script, std::string& error) {
    std::vector<SpokenWord> spoken;
    std::istringstream lines{std::string(plan)};
    std::string line;
    int lineNumber = 0;
    bool sawDirective = false;
    while (std::getline(lines, line)) {
        ++lineNumber;
        std::istringstream fields(line);
        std::string directive;
        if (!(fields >> directive) || directive[0] == '#') continue;
        sawDirective = true;
        const auto fail = [&](const char* why) {
            error = "line " + std::to_string(lineNumber) + ": " + why;
            return std::nullopt;
        };
        std::vector<std::string> args;
        for (std::string a; fields >> a;) args.push_back(a);
        if (directive == "read") {
            if (args.size() != 2) return fail("read takes FIRST and LAST");
            const auto first = parseIndex(args[0], script);
            const auto last = parseIndex(args[1], script);
            if (!first || !last || *first > *last) return fail("word index out of range");
            for (long i = *first; i <= *last; ++i) {
                spoken.push_back(
                    {std::string(script.textOf(i)), static_cast<long>(script.at(i).start)});
            }
        } else if (directive == "say") {
            if (args.empty()) return fail("say needs words");
            for (auto& a : args) spoken.push_back({a, -1});
        } else if (directive == "as") {
            if (args.size() < 2) return fail("as takes INDEX and words");
            const auto index = parseIndex(args[0], script);
            if (!index) return fail("word index out of range");
            for (std::size_t k = 1; k < args.size(); ++k) {
                spoken.push_back({args[k], static_cast<long>(script.at(*index).start)});
            }
        } else {
            return fail("unknown directive");
        }
    }
    if (!sawDirective) {
        for (std::size_t i = 0; i < script.size(); ++i) {
            spoken.push_back(
                {std::string(script.textOf(i)), static_cast<long>(script.at(i).start)});
        }
    }
    return spoken;
}

}  // namespace vorela::follow
