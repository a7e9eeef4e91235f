#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include "Platform/Defaults/PlistXml.h"
#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Log/Log.h"
#include "Support/RecordingLogSink.h"

namespace vorela {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Each case gets a configuration folder of its own and a log that records.
class UserDefaultsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vorela-prefs-XXXXXX";
        root_ = mkdtemp(pattern);
        const char* old = std::getenv("XDG_CONFIG_HOME");
        if (old) oldConfigHome_ = old;
        setenv("XDG_CONFIG_HOME", root_.c_str(), 1);
        previousSink_ = Log::setSink(sink_);
    }
    void TearDown() override {
        UserDefaults::setStandard(UserDefaults::inMemory());
        Log::setSink(previousSink_);
        if (oldConfigHome_) {
            setenv("XDG_CONFIG_HOME", oldConfigHome_->c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
        fs::remove_all(root_);
    }

    fs::path folder() const { return root_ / "app.vorela.Vorela"; }
    fs::path suitePath(const std::string& name = "test") const {
        return folder() / (name + ".plist");
    }

    std::vector<fs::path> movedAside(const std::string& name = "test") const {
        std::vector<fs::path> out;
        if (!fs::exists(folder())) return out;
        for (const auto& entry : fs::directory_iterator(folder())) {
            if (entry.path().filename().string().rfind(name + ".plist.corrupt-", 0) == 0)
                out.push_back(entry.path());
        }
        return out;
    }

    void writeRaw(const std::string& text, const std::string& name = "test") const {
        fs::create_directories(folder());
        std::ofstream(suitePath(name), std::ios::binary) << text;
    }

    // Reads the file as a fresh process would.
    PlistDictionary reload(const std::string& name = "test") const {
        auto parsed = PlistXml::parse(readFile(suitePath(name)));
        EXPECT_TRUE(parsed.object) << parsed.error;
        if (!parsed.object || !parsed.object->dictionary()) return {};
        return *parsed.object->dictionary();
    }

    fs::path root_;
    std::optional<std::string> oldConfigHome_;
    std::shared_ptr<vorela::testing::RecordingLogSink> sink_ =
        std::make_shared<vorela::testing::RecordingLogSink>();
    std::shared_ptr<LogSink> previousSink_;
};

TEST_F(UserDefaultsFileTest, ValuesKeepTheirTypesThroughASaveAndAReload) {
    const PlistDictionary values = {
        {"boolFalse", PropertyList(false)},
        {"integerZero", PropertyList(0)},
        {"stringFalse", PropertyList("false")},
        {"integer", PropertyList(140)},
        {"real", PropertyList(140.0)},
        {"tenth", PropertyList(0.1)},
        {"date", PropertyList(Date{1700000000})},
        {"unsigned", PropertyList(std::numeric_limits<std::uint64_t>::max())},
        {"data", PropertyList(PlistData{0, 1, 2, 255})},
        {"nested",
         PropertyList(PlistArray{PropertyList(PlistDictionary{{"a & <b>", PropertyList(-7)}}),
                                 PropertyList(PlistArray{}), PropertyList("línea\r\nsiguiente")})},
    };
    {
        auto suite = UserDefaults::suite("test");
        ASSERT_TRUE(suite);
        for (const auto& [key, value] : values) suite->set(key, value);
    }  // the last reference: destruction writes what is pending
    EXPECT_EQ(reload(), values);
    auto reopened = UserDefaults::suite("test");
    EXPECT_EQ(reopened->dictionaryRepresentation(), values);
    EXPECT_EQ(reopened->object("boolFalse")->type(), PropertyList::Type::boolean);
    EXPECT_EQ(reopened->object("integerZero")->type(), PropertyList::Type::integer);
    EXPECT_EQ(reopened->object("stringFalse")->type(), PropertyList::Type::string);
}

TEST_F(UserDefaultsFileTest, RegisteredDefaultsAreNeitherWrittenNorRemembered) {
    {
        auto suite = UserDefaults::suite("test");
        suite->registerDefaults({{"wpm", PropertyList(140.0)}});
        EXPECT_EQ(suite->object("wpm"), PropertyList(140.0));
        suite->set("other", PropertyList(1));
    }
    EXPECT_EQ(reload().count("wpm"), 0u);
    EXPECT_FALSE(UserDefaults::suite("test")->object("wpm"));
}

TEST_F(UserDefaultsFileTest, RemovalsReachTheFile) {
    auto suite = UserDefaults::suite("test");
    suite->set("a", PropertyList(1));
    suite->set("b", PropertyList(2));
    suite->remove("a");
    suite->flush();
    EXPECT_EQ(reload(), (PlistDictionary{{"b", PropertyList(2)}}));
}

TEST_F(UserDefaultsFileTest, ACorruptOrUnreadableFileIsMovedAsideAndTheSuiteStartsEmpty) {
    struct Case {
        const char* name;
        std::function<void()> make;
    };
    const Case cases[] = {
        {"not XML", [&] { writeRaw("este archivo no es XML"); }},
        {"truncated",
         [&] {
             writeRaw("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key><integer>1");
         }},
        {"empty file", [&] { writeRaw(""); }},
        {"top object not a dictionary",
         [&] { writeRaw("<plist version=\"1.0\"><array/></plist>"); }},
        {"bad integer",
         [&] { writeRaw("<plist><dict><key>a</key><integer>1.5</integer></dict></plist>"); }},
        {"a folder in its place", [&] { fs::create_directories(suitePath()); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder());
        sink_->clear();
        c.make();
        {
            auto suite = UserDefaults::suite("test");
            EXPECT_TRUE(suite->dictionaryRepresentation().empty());
            const auto aside = movedAside();
            ASSERT_EQ(aside.size(), 1u);
            const auto lines = sink_->records();
            ASSERT_EQ(lines.size(), 1u);
            EXPECT_EQ(lines[0].category, "prefs");
            EXPECT_EQ(lines[0].level, LogLevel::error);
            EXPECT_NE(lines[0].message.find(aside[0].string()), std::string::npos);
            suite->set("fresh", PropertyList(true));
        }
        EXPECT_EQ(reload(), (PlistDictionary{{"fresh", PropertyList(true)}}));
        EXPECT_EQ(movedAside().size(), 1u) << "the damaged copy is kept";
    }
}

// Runs `work` on its own thread for at most 5 s; false when it had not returned by then,
// after a writer opened and closed the FIFO at `fifo` so a read blocked on it ends.
template <class Work>
bool returnsPromptly(const fs::path& fifo, Work work) {
    auto done = std::async(std::launch::async, std::move(work));
    if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready) return true;
    if (const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK); writer >= 0) {
        ::close(writer);
    }
    done.wait();
    return false;
}

TEST_F(UserDefaultsFileTest, AFifoInTheFilesPlaceNeitherHangsTheStartNorALaterReload) {
    // A FIFO at the preference file's path blocked the start in open() until someone wrote,
    // and one swapped in while running froze the reload. Only regular files are read.
    fs::create_directories(folder());
    ASSERT_EQ(::mkfifo(suitePath().c_str(), 0600), 0);
    std::shared_ptr<UserDefaults> suite;
    ASSERT_TRUE(returnsPromptly(suitePath(), [&] { suite = UserDefaults::suite("test"); }));
    EXPECT_TRUE(suite->dictionaryRepresentation().empty());
    EXPECT_EQ(movedAside().size(), 1u) << "the FIFO is set aside like any unreadable file";

    suite->set("kept", PropertyList(true));
    suite->flush();
    fs::remove(suitePath());
    ASSERT_EQ(::mkfifo(suitePath().c_str(), 0600), 0);
    bool changed = true;
    ASSERT_TRUE(returnsPromptly(suitePath(), [&] { changed = suite->reload(); }));
    EXPECT_FALSE(changed);
    EXPECT_EQ(suite->dictionaryRepresentation(), (PlistDictionary{{"kept", PropertyList(true)}}));
}

TEST_F(UserDefaultsFileTest, AnIntegerBeyond64BitsCostsOnlyItsOwnEntry) {
    writeRaw(
        "<plist><dict><key>huge</key><integer>36893488147419103232</integer>"
        "<key>wpm</key><real>150</real></dict></plist>");
    auto suite = UserDefaults::suite("test");
    EXPECT_EQ(suite->dictionaryRepresentation(), (PlistDictionary{{"wpm", PropertyList(150.0)}}));
    EXPECT_TRUE(movedAside().empty());
    const auto messages = sink_->messages("prefs");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("«huge»"), std::string::npos) << messages[0];
}

TEST_F(UserDefaultsFileTest, AFileMovedAsideEarlierIsNeverReplaced) {
    writeRaw("dañado 1");
    UserDefaults::suite("test").reset();
    writeRaw("dañado 2");
    UserDefaults::suite("test").reset();
    const auto aside = movedAside();
    ASSERT_EQ(aside.size(), 2u);
    EXPECT_NE(readFile(aside[0]), readFile(aside[1]));
}

TEST_F(UserDefaultsFileTest, TextThatXmlCannotCarryStillLeavesAReadableFile) {
    // Control characters and stray bytes used to be written raw, which made the whole
    // file unparseable at the next start and cost every preference; they become U+FFFD.
    {
        auto suite = UserDefaults::suite("test");
        suite->set("control", PropertyList(std::string("a\x01"
                                                       "b")));
        suite->set("bytes", PropertyList(std::string("\xff\xfe ok")));
        suite->set("wpm", PropertyList(150.0));
    }
    const auto reloaded = reload();
    EXPECT_EQ(reloaded.at("control"), PropertyList("a\xEF\xBF\xBD"
                                                   "b"));
    EXPECT_EQ(reloaded.at("bytes"), PropertyList("\xEF\xBF\xBD\xEF\xBF\xBD ok"));
    EXPECT_EQ(reloaded.at("wpm"), PropertyList(150.0));
    EXPECT_TRUE(movedAside().empty());
}

// Kills and reaps the child however the test ends, so no writer outlives it.
class ChildProcess {
public:
    explicit ChildProcess(pid_t pid) : pid_(pid) {}
    ~ChildProcess() { killNow(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ChildProcess(ChildProcess&&) = delete;
    ChildProcess& operator=(ChildProcess&&) = delete;
    void killNow() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

TEST_F(UserDefaultsFileTest, AKillRightAfterAWriteNeverLeavesATruncatedFile) {
    // A child process writes without pause; the file is read while it writes (a reader
    // must never see half a file) and again after the child is killed mid-write.
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(ready[0]);
            auto suite = UserDefaults::open(suitePath().string());
            const std::string padding(8192, 'x');  // a file large enough to be caught mid-write
            for (int i = 0;; ++i) {
                suite->set("counter", PropertyList(i));
                suite->set("padding" + std::to_string(i % 40),
                           PropertyList(padding + std::to_string(i)));
                if (i == 40) {
                    suite->flush();
                    (void)!::write(ready[1], "r", 1);
                }
            }
        }
        ChildProcess child(pid);
        close(ready[1]);
        char byte = 0;
        ASSERT_EQ(read(ready[0], &byte, 1), 1);
        close(ready[0]);
        for (int i = 0; i < 60; ++i) {
            auto parsed = PlistXml::parse(readFile(suitePath()));
            ASSERT_TRUE(parsed.object) << "read " << i << ": " << parsed.error;
        }
        child.killNow();
        const auto entries = reload();
        ASSERT_TRUE(entries.count("counter"));
        EXPECT_GE(*entries.at("counter").integer(), 40);
    }
}

TEST_F(UserDefaultsFileTest, TemporaryFilesLeftByACrashAreRemovedOnceStale) {
    writeRaw("<plist><dict/></plist>");
    const auto stale = folder() / "test.plist.tmp-AAAAAA";
    const auto fresh = folder() / "test.plist.tmp-BBBBBB";
    const auto unrelated = folder() / "other.plist.tmp-CCCCCC";
    for (const auto& p : {stale, fresh, unrelated}) std::ofstream(p) << "<plist>";
    const auto old = fs::last_write_time(stale) - std::chrono::minutes(5);
    fs::last_write_time(stale, old);
    fs::last_write_time(unrelated, old);
    UserDefaults::suite("test");
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(fresh)) << "may belong to a write in progress";
    EXPECT_TRUE(fs::exists(unrelated));
}

TEST_F(UserDefaultsFileTest, TheStandardSuiteLivesInTheConfigurationFolder) {
    UserDefaults::setStandard(nullptr);
    auto standard = UserDefaults::standard();
    EXPECT_EQ(standard, UserDefaults::standard());
    EXPECT_EQ(standard, UserDefaults::suite("app.vorela.Vorela")) << "one object per file";
    standard->set("wpm", PropertyList(150.0));
    standard->flush();
    EXPECT_EQ(reload("app.vorela.Vorela"), (PlistDictionary{{"wpm", PropertyList(150.0)}}));
}

TEST_F(UserDefaultsFileTest, SuiteNamesMustBeOnePlainFileName) {
    for (const char* name : {"", ".", "..", ".hidden", "a/b", "../escape"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(UserDefaults::suite(name));
    }
    EXPECT_TRUE(UserDefaults::suite("group.vorela"));
}

TEST_F(UserDefaultsFileTest, ConcurrentWritersLoseNothing) {
    auto suite = UserDefaults::suite("test");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i)
                suite->set(std::to_string(t) + "-" + std::to_string(i), PropertyList(i));
        });
    }
    for (auto& t : threads) t.join();
    suite->flush();
    EXPECT_EQ(reload().size(), 800u);
}

TEST(UserDefaultsTest, ObserversSeeStoredChangesOutsideTheLock) {
    auto suite = UserDefaults::inMemory();
    suite->registerDefaults({{"wpm", PropertyList(140.0)}});
    struct Change {
        std::string key;
        std::optional<PropertyList> oldValue, newValue, inForce;
    };
    std::vector<Change> changes;
    auto subscription =
        suite->observe([&](const std::string& key, const auto& oldValue, const auto& newValue) {
            changes.push_back(
                {key, oldValue, newValue, suite->object(key)});  // re-entering must not deadlock
        });
    suite->set("wpm", PropertyList(150.0));
    suite->set("wpm", PropertyList(150.0));  // equal: no change
    suite->remove("wpm");
    suite->remove("wpm");  // nothing stored: no change
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].oldValue, std::nullopt);
    EXPECT_EQ(changes[0].newValue, PropertyList(150.0));
    EXPECT_EQ(changes[1].oldValue, PropertyList(150.0));
    EXPECT_EQ(changes[1].newValue, std::nullopt);
    EXPECT_EQ(changes[1].inForce, PropertyList(140.0)) << "the registered default is back in force";
    subscription.cancel();
    suite->set("wpm", PropertyList(1.0));
    EXPECT_EQ(changes.size(), 2u);
}

TEST(UserDefaultsTest, SettingNullRemovesAndRemoveAllLeavesOnlyRegisteredDefaults) {
    auto suite = UserDefaults::inMemory();
    suite->registerDefaults({{"a", PropertyList(1)}});
    suite->set("a", PropertyList(2));
    suite->set("b", PropertyList(3));
    suite->set("b", PropertyList());
    EXPECT_FALSE(suite->object("b"));
    suite->removeAll();
    EXPECT_EQ(suite->dictionaryRepresentation(), (PlistDictionary{{"a", PropertyList(1)}}));
}

}  // namespace
}  // namespace vorela
