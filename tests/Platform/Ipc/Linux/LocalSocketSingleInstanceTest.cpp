#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "Platform/Ipc/Linux/LocalSocketSingleInstance.h"

extern char** environ;

namespace vorela {
namespace {

constexpr const char* kChildFolderVariable = "VORELA_IPC_CHILD_FOLDER";

std::string bigText() {
    std::string text;
    for (int i = 0; text.size() < (1 << 20); ++i) text += "línea " + std::to_string(i) + "\n";
    return text;
}

class LocalSocketSingleInstanceTest : public ::testing::Test {
protected:
    LocalSocketSingleInstanceTest() {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "vorela-ipc-tests";
            static char* argv[] = {name, nullptr};
            static QCoreApplication app(argc, argv);
        }
    }
    ~LocalSocketSingleInstanceTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    // Runs the event loop until `done` or 10 s.
    template <class Done>
    bool pumpUntil(Done done) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 10000) QCoreApplication::processEvents();
        return done();
    }

    std::filesystem::path folder_ = [] {
        char pattern[] = "/tmp/vorela-ipc-XXXXXX";
        return std::filesystem::path(mkdtemp(pattern));
    }();
    std::vector<InstanceMessage> received_;
};

TEST_F(LocalSocketSingleInstanceTest, ASecondProcessHandsItsTextToTheFirstAndExits) {
    LocalSocketSingleInstance first(folder_);
    ASSERT_EQ(first.claim([this](InstanceMessage m) { received_.push_back(std::move(m)); }),
              InstanceRole::primary);
    EXPECT_EQ(LocalSocketSingleInstance(folder_).claim({}), InstanceRole::secondary);

    const std::string filter = "--gtest_filter=LocalSocketSingleInstanceChild.*";
    const std::string variable = std::string(kChildFolderVariable) + "=" + folder_.string();
    std::vector<char*> environment{const_cast<char*>(variable.c_str())};
    for (char** e = environ; *e; ++e) environment.push_back(*e);
    environment.push_back(nullptr);
    char* argv[] = {const_cast<char*>("/proc/self/exe"), const_cast<char*>(filter.c_str()),
                    nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, "/proc/self/exe", nullptr, nullptr, argv, environment.data()), 0);
    EXPECT_TRUE(pumpUntil([&] { return !received_.empty(); }));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(received_.size(), 1u);
    EXPECT_EQ(received_[0], (InstanceMessage{InstanceMessage::Kind::readText, bigText()}));
}

TEST_F(LocalSocketSingleInstanceTest, TheLockGoesWithItsOwnerAndAStaleSocketIsReplaced) {
    {
        LocalSocketSingleInstance gone(folder_);
        ASSERT_EQ(gone.claim({}), InstanceRole::primary);
    }
    // As if a crashed primary left its socket file behind.
    std::filesystem::create_directories(folder_);
    LocalSocketSingleInstance next(folder_);
    ASSERT_EQ(next.claim([this](InstanceMessage m) { received_.push_back(std::move(m)); }),
              InstanceRole::primary);
    LocalSocketSingleInstance later(folder_);
    ASSERT_EQ(later.claim({}), InstanceRole::secondary);
    EXPECT_TRUE(later.handOff({InstanceMessage::Kind::openUrl, "prompter://play"}));
    EXPECT_TRUE(pumpUntil([&] { return !received_.empty(); }));
    EXPECT_EQ(received_.at(0).payload, "prompter://play");
}

TEST_F(LocalSocketSingleInstanceTest, OversizedMessagesAreDroppedAndNobodyListeningIsAFailure) {
    LocalSocketSingleInstance lonely(folder_ / "empty");
    EXPECT_FALSE(lonely.handOff({InstanceMessage::Kind::activate, ""}));

    LocalSocketSingleInstance first(folder_, 64);
    ASSERT_EQ(first.claim([this](InstanceMessage m) { received_.push_back(std::move(m)); }),
              InstanceRole::primary);
    LocalSocketSingleInstance second(folder_);
    EXPECT_TRUE(second.handOff({InstanceMessage::Kind::readText, std::string(1000, 'x')}));
    EXPECT_TRUE(second.handOff({InstanceMessage::Kind::activate, ""}));
    EXPECT_TRUE(pumpUntil([&] { return !received_.empty(); }));
    const std::vector<InstanceMessage> expected{{InstanceMessage::Kind::activate, ""}};
    EXPECT_EQ(received_, expected);
}

TEST_F(LocalSocketSingleInstanceTest, OnlyAPrivateFolderOfOursIsUsed) {
    // Another local user could create the folder in /tmp first, then hold the lock and
    // receive every text handed over: a folder that is not ours and 0700 is refused.
    namespace fs = std::filesystem;
    struct Case {
        const char* name;
        std::function<bool(const fs::path&)> make;  // false: not possible here
        InstanceRole expected;
    };
    const Case cases[] = {
        {"missing: created private", [](const fs::path&) { return true; }, InstanceRole::primary},
        {"ours and private", [](const fs::path& f) { return ::mkdir(f.c_str(), 0700) == 0; },
         InstanceRole::primary},
        {"ours but open to others",
         [](const fs::path& f) {
             return ::mkdir(f.c_str(), 0700) == 0 && ::chmod(f.c_str(), 0755) == 0;
         },
         InstanceRole::failed},
        {"another user's",
         [](const fs::path& f) {
             return ::mkdir(f.c_str(), 0700) == 0 && ::chown(f.c_str(), 65534, 65534) == 0 &&
                    ::getuid() != 65534;
         },
         InstanceRole::failed},
        {"a link to a private folder of ours",
         [this](const fs::path& f) {
             return ::mkdir((folder_ / "real").c_str(), 0700) == 0 &&
                    ::symlink((folder_ / "real").c_str(), f.c_str()) == 0;
         },
         InstanceRole::failed},
        {"a file", [](const fs::path& f) { return bool(std::ofstream(f)); }, InstanceRole::failed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder_);
        fs::create_directory(folder_);
        const fs::path runtime = folder_ / "vorela-1000";
        if (!c.make(runtime)) {
            std::cerr << "skipped here: " << c.name << "\n";
            continue;
        }
        LocalSocketSingleInstance instance(runtime);
        EXPECT_EQ(instance.claim({}), c.expected);
        if (c.expected == InstanceRole::primary) {
            struct stat st {};
            ASSERT_EQ(::lstat(runtime.c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 07777, 0700u);
            EXPECT_TRUE(fs::exists(instance.socketPath()));
            continue;
        }
        // Nothing of ours goes into it, and nothing is handed to whoever listens there.
        EXPECT_FALSE(fs::exists(instance.socketPath()));
        EXPECT_FALSE(LocalSocketSingleInstance(runtime).handOff(
            {InstanceMessage::Kind::readText, "secreto"}));
    }
}

// The second process of the first test: it finds the primary and hands over.
TEST(LocalSocketSingleInstanceChild, HandsOverBigText) {
    const char* folder = std::getenv(kChildFolderVariable);
    if (!folder) GTEST_SKIP() << "runs only as the second process of another test";
    LocalSocketSingleInstance second(folder);
    ASSERT_EQ(second.claim({}), InstanceRole::secondary);
    ASSERT_TRUE(second.handOff({InstanceMessage::Kind::readText, bigText()}));
}

}  // namespace
}  // namespace vorela
