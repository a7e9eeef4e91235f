#include <gtest/gtest.h>
#include <stdlib.h>

#include <clocale>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "Matcher/MatcherTelemetry.h"
#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Time/Fake/ManualClock.h"

namespace vorela {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> readLines(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class MatcherTelemetryTest : public ::testing::Test {
protected:
    MatcherTelemetryTest() {
        previousDefaults_ = UserDefaults::standard();
        UserDefaults::setStandard(defaults_);
    }
    ~MatcherTelemetryTest() override {
        UserDefaults::setStandard(previousDefaults_);
        std::error_code ignored;
        fs::remove_all(base_, ignored);
    }
    void setFlag(bool on) { defaults_->set("debugTelemetry", PropertyList(on)); }
    fs::path folder() const { return base_ / "app.vorela.Vorela"; }
    fs::path file() const { return folder() / "telemetry.jsonl"; }

    static fs::path makeTemporaryFolder() {
        char pattern[] = "/tmp/vorela-telemetry-XXXXXX";
        return mkdtemp(pattern);
    }

    fs::path base_ = makeTemporaryFolder();
    std::shared_ptr<UserDefaults> defaults_ = UserDefaults::inMemory();
    std::shared_ptr<UserDefaults> previousDefaults_;
    ManualClock clock_;
    MatcherTelemetry telemetry_{folder(), clock_};
};

TEST_F(MatcherTelemetryTest, NothingIsCreatedWhileTheFlagIsOff) {
    telemetry_.log("mode", {{"mode", "classic"}});
    setFlag(false);
    telemetry_.log("mode", {{"mode", "classic"}});
    telemetry_.waitUntilIdle();
    EXPECT_FALSE(fs::exists(folder()));

    setFlag(true);
    telemetry_.log("mode", {{"mode", "classic"}});
    telemetry_.waitUntilIdle();
    EXPECT_EQ(readLines(file()).size(), 1u);
}

TEST_F(MatcherTelemetryTest, TheLogIsCreatedReadableByItsOwnerOnly) {
    // The log was created 0644, so other users could read what the reader said aloud;
    // it holds the user's speech and script words, like the library.
    setFlag(true);
    telemetry_.log("mode", {{"mode", "classic"}});
    telemetry_.waitUntilIdle();
    EXPECT_EQ(fs::status(file()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(MatcherTelemetryTest, ARecordIsOneJsonObjectOfTextsWithEventAndTime) {
    setFlag(true);
    // A desktop locale with a decimal comma must not reach the file.
    const std::string previousLocale = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    clock_.setUptime(1234.5678);
    telemetry_.log("match", {{"heard", "dijo \"hola\"\nqué"}, {"event", "x"}, {"t", "y"}});
    std::setlocale(LC_ALL, previousLocale.c_str());
    telemetry_.waitUntilIdle();

    const auto lines = readLines(file());
    ASSERT_EQ(lines.size(), 1u);
    const auto record = nlohmann::json::parse(lines[0]);
    EXPECT_EQ(record, (nlohmann::json{
                          {"event", "match"}, {"t", "1234.568"}, {"heard", "dijo \"hola\"\nqué"}}));
}

TEST_F(MatcherTelemetryTest, RecordsFromManyThreadsStayWholeAndInCallOrderPerThread) {
    setFlag(true);
    constexpr int kThreads = 8;
    constexpr int kRecords = 100;
    const std::string padding(3000, 'p');  // longer than a stdio buffer
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRecords; ++i) {
                telemetry_.log(
                    "match",
                    {{"thread", std::to_string(t)}, {"seq", std::to_string(i)}, {"pad", padding}});
            }
        });
    }
    for (auto& thread : threads) thread.join();
    telemetry_.waitUntilIdle();

    const auto lines = readLines(file());
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kRecords));
    std::vector<int> next(kThreads, 0);
    for (const auto& line : lines) {
        const auto record = nlohmann::json::parse(line, nullptr, false);
        ASSERT_FALSE(record.is_discarded()) << line.substr(0, 80);
        const int t = std::stoi(record.at("thread").get<std::string>());
        EXPECT_EQ(std::stoi(record.at("seq").get<std::string>()),
                  next[static_cast<std::size_t>(t)]++);
        EXPECT_EQ(record.at("pad"), padding);
    }
}

TEST_F(MatcherTelemetryTest, TheFirstRecordAfterClearStartsTheFileAgain) {
    setFlag(true);
    telemetry_.log("mode", {{"mode", "classic"}});
    telemetry_.waitUntilIdle();
    telemetry_.clear();
    EXPECT_FALSE(fs::exists(file()));
    telemetry_.clear();  // nothing to delete: ignored

    telemetry_.log("mode", {{"mode", "wordTracking"}});
    telemetry_.waitUntilIdle();
    const auto lines = readLines(file());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(nlohmann::json::parse(lines[0]).at("mode"), "wordTracking");
}

TEST_F(MatcherTelemetryTest, RecordsStillQueuedAtClearAreDropped) {
    // Deleting the file on the caller's thread let records queued before the click be
    // written afterwards, so "Borrar el registro" left old records in the new file.
    // A record logged before clear() belongs to the deleted log and must never appear.
    setFlag(true);
    for (int i = 0; i < 2000; ++i) telemetry_.log("match", {{"seq", std::to_string(i)}});
    telemetry_.clear();
    telemetry_.log("after");
    telemetry_.waitUntilIdle();
    const auto lines = readLines(file());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(nlohmann::json::parse(lines[0]).at("event"), "after");
}

TEST_F(MatcherTelemetryTest, AnExistingLogIsAppendedToNeverReplaced) {
    // A failed open for writing fell back to writing the line as the file's whole
    // content, which replaced an existing log. The file is only ever appended to.
    fs::create_directories(folder());
    std::ofstream(file()) << R"({"event":"old","t":"1.000"})" << '\n';
    setFlag(true);
    telemetry_.log("new");
    telemetry_.log("newer");
    telemetry_.waitUntilIdle();
    const auto lines = readLines(file());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(nlohmann::json::parse(lines[0]).at("event"), "old");
    EXPECT_EQ(nlohmann::json::parse(lines[2]).at("event"), "newer");
}

TEST(MatcherTelemetryLocationTest, FollowsXdgDataHomeElseHome) {
    const char* savedData = std::getenv("XDG_DATA_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::optional<std::string> data =
        savedData ? std::optional<std::string>(savedData) : std::nullopt;
    const std::optional<std::string> home =
        savedHome ? std::optional<std::string>(savedHome) : std::nullopt;

    struct Case {
        const char* name;
        const char* dataHome;
        const char* homeDir;
        std::optional<fs::path> expected;
    } cases[] = {
        {"data home", "/srv/data", "/home/ana", fs::path("/srv/data/app.vorela.Vorela")},
        {"empty data home", "", "/home/ana", fs::path("/home/ana/.local/share/app.vorela.Vorela")},
        {"relative data home", "data", "/home/ana",
         fs::path("/home/ana/.local/share/app.vorela.Vorela")},
        {"neither", nullptr, nullptr, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.dataHome ? setenv("XDG_DATA_HOME", c.dataHome, 1) : unsetenv("XDG_DATA_HOME");
        c.homeDir ? setenv("HOME", c.homeDir, 1) : unsetenv("HOME");
        EXPECT_EQ(MatcherTelemetry::defaultFolder(), c.expected);
    }
    data ? setenv("XDG_DATA_HOME", data->c_str(), 1) : unsetenv("XDG_DATA_HOME");
    home ? setenv("HOME", home->c_str(), 1) : unsetenv("HOME");
}

}  // namespace
}  // namespace vorela
