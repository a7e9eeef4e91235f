#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Ipc/Linux/FileLock.h"
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

// A peer on the raw socket, as any process of the user could be.
class RawPeer {
public:
    explicit RawPeer(const std::filesystem::path& socket) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socket.c_str(), sizeof address.sun_path - 1);
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~RawPeer() {
        if (fd_ >= 0) ::close(fd_);
    }
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    bool isConnected() const { return fd_ >= 0; }
    // How many bytes went out before the other end closed (or all of them).
    std::size_t send(std::string_view bytes) {
        std::size_t sent = 0;
        while (fd_ >= 0 && sent < bytes.size()) {
            const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
        }
        return sent;
    }
    void finish() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    // True when the other end closed within `seconds`.
    bool seesClosedWithin(int seconds) {
        timeval timeout{seconds, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        char byte = 0;
        return ::recv(fd_, &byte, 1, 0) == 0;
    }

private:
    int fd_ = -1;
};

// The most memory this process has held, in bytes, since resetPeakMemory().
std::size_t peakMemory() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stoull(line.substr(6)) * 1024;
    }
    return 0;
}
void resetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

// AddressSanitizer holds freed memory in quarantine, so the peak says nothing there.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VORELA_PEAK_MEMORY_UNRELIABLE 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VORELA_PEAK_MEMORY_UNRELIABLE 1
#endif
#ifdef VORELA_PEAK_MEMORY_UNRELIABLE
constexpr bool kPeakMemoryIsMeaningful = false;
#else
constexpr bool kPeakMemoryIsMeaningful = true;
#endif

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

    // A later start hands over from its own thread: the running instance answers only
    // while this one's event loop runs.
    std::optional<HandOffError> handOff(LocalSocketSingleInstance& later,
                                        const InstanceMessage& message) {
        auto result = std::async(std::launch::async, [&] { return later.handOff(message); });
        pumpUntil(
            [&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
        return result.get();
    }
    void receive(InstanceMessage message) { received_.push_back(std::move(message)); }

    std::filesystem::path folder_ = [] {
        char pattern[] = "/tmp/vorela-ipc-XXXXXX";
        return std::filesystem::path(mkdtemp(pattern));
    }();
    std::filesystem::path data_ = folder_ / "data";
    std::vector<InstanceMessage> received_;
};

TEST_F(LocalSocketSingleInstanceTest, ASecondProcessHandsItsTextToTheFirstAndExits) {
    LocalSocketSingleInstance first(folder_, data_);
    ASSERT_EQ(first.claim([this](InstanceMessage m) { received_.push_back(std::move(m)); }),
              InstanceRole::primary);
    EXPECT_EQ(LocalSocketSingleInstance(folder_, data_).claim({}), InstanceRole::secondary);

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
        LocalSocketSingleInstance gone(folder_, data_);
        ASSERT_EQ(gone.claim({}), InstanceRole::primary);
    }
    // As if a crashed primary left its socket file behind.
    std::filesystem::create_directories(folder_);
    LocalSocketSingleInstance next(folder_, data_);
    ASSERT_EQ(next.claim([this](InstanceMessage m) { received_.push_back(std::move(m)); }),
              InstanceRole::primary);
    LocalSocketSingleInstance later(folder_, data_);
    ASSERT_EQ(later.claim({}), InstanceRole::secondary);
    EXPECT_EQ(handOff(later, {InstanceMessage::Kind::openUrl, "prompter://play"}), std::nullopt);
    EXPECT_TRUE(pumpUntil([&] { return !received_.empty(); }));
    EXPECT_EQ(received_.at(0).payload, "prompter://play");
}

TEST_F(LocalSocketSingleInstanceTest, OversizedMessagesAreDroppedAndNobodyListeningIsAFailure) {
    const std::filesystem::path empty = folder_ / "empty";
    std::filesystem::create_directory(empty);
    std::filesystem::permissions(empty, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    LocalSocketSingleInstance lonely(empty, data_);
    EXPECT_EQ(lonely.handOff({InstanceMessage::Kind::activate, ""}),
              (HandOffError{HandOffError::Kind::notListening, {}}));

    LocalSocketSingleInstance first(folder_, data_, {.maxMessageBytes = 64});
    ASSERT_EQ(first.claim([this](InstanceMessage m) { received_.push_back(std::move(m)); }),
              InstanceRole::primary);
    LocalSocketSingleInstance second(folder_, data_);
    EXPECT_EQ(handOff(second, {InstanceMessage::Kind::readText, std::string(1000, 'x')}),
              (HandOffError{HandOffError::Kind::notConfirmed, {}}));
    EXPECT_EQ(handOff(second, {InstanceMessage::Kind::activate, ""}), std::nullopt);
    EXPECT_TRUE(pumpUntil([&] { return !received_.empty(); }));
    const std::vector<InstanceMessage> expected{{InstanceMessage::Kind::activate, ""}};
    EXPECT_EQ(received_, expected);
}

TEST_F(LocalSocketSingleInstanceTest, ConcurrentBigMessagesAreReadOneAtATimeInPieces) {
    // Every connection was read whole and at once: 100 MB of text peaked at 4.9 GB and
    // eight big messages together ran out of memory. One message is in memory at a time.
    constexpr std::size_t kTextBytes = 24u << 20;
    constexpr int kPeers = 8;
    std::vector<std::size_t> sizes;
    LocalSocketSingleInstance first(folder_, data_);
    ASSERT_EQ(first.claim([&](InstanceMessage m) { sizes.push_back(m.payload.size()); }),
              InstanceRole::primary);
    const std::string message =
        InstanceMessage{InstanceMessage::Kind::readText, std::string(kTextBytes, 'a')}.encoded();
    resetPeakMemory();
    const std::size_t before = peakMemory();
    std::atomic<int> sent{0};
    std::vector<std::thread> peers;
    for (int i = 0; i < kPeers; ++i) {
        peers.emplace_back([&] {
            RawPeer peer(first.socketPath());
            if (peer.send(message) == message.size()) ++sent;
        });
    }
    EXPECT_TRUE(pumpUntil([&] { return sizes.size() == kPeers; }));
    for (auto& peer : peers) peer.join();
    EXPECT_EQ(sent.load(), kPeers);
    EXPECT_EQ(sizes, std::vector<std::size_t>(kPeers, kTextBytes));
    const std::size_t growth = peakMemory() - before;
    if (kPeakMemoryIsMeaningful) {
        EXPECT_LT(growth, 4 * kTextBytes) << "peak grew by " << (growth >> 20) << " MiB";
    }
}

TEST_F(LocalSocketSingleInstanceTest, OversizedSilentAndSlowPeersAreCutOffAndOthersStillServed) {
    // Idle connections stayed open for good, and a message was read whole before its size
    // was weighed. Peers are cut off at the limit or when silent, and the next is served.
    LocalSocketSingleInstance first(folder_, data_,
                                    {.maxMessageBytes = 1 << 20,
                                     .idleTimeout = std::chrono::milliseconds(200),
                                     .messageDeadline = std::chrono::milliseconds(800)});
    ASSERT_EQ(first.claim([this](InstanceMessage m) { received_.push_back(std::move(m)); }),
              InstanceRole::primary);
    RawPeer silent(first.socketPath());
    RawPeer halfway(first.socketPath());
    RawPeer trickling(first.socketPath());
    RawPeer flooding(first.socketPath());
    ASSERT_TRUE(silent.isConnected() && halfway.isConnected() && trickling.isConnected() &&
                flooding.isConnected());
    halfway.send("text\nmedio mensaje");
    std::size_t flooded = 0;
    std::atomic<bool> isFlooded{false};
    std::thread flood([&] {
        flooded = flooding.send(std::string(64u << 20, 'x'));
        isFlooded = true;
    });
    std::atomic<bool> isTrickling{true};
    std::thread trickle([&] {
        while (isTrickling && trickling.send("x") == 1) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    std::thread later([&] {
        RawPeer peer(first.socketPath());
        peer.send("url\nprompter://play");
    });
    // Every connection is served at once: the others' ends come while the event loop runs.
    auto closed = std::async(std::launch::async, [&] {
        return silent.seesClosedWithin(3) && halfway.seesClosedWithin(3);
    });
    EXPECT_TRUE(pumpUntil([&] {
        return !received_.empty() && isFlooded &&
               closed.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }));
    flood.join();
    later.join();
    isTrickling = false;
    trickle.join();
    EXPECT_TRUE(closed.get());
    EXPECT_LT(flooded, std::size_t{8} << 20) << "the flood was read far past the limit";
    const std::vector<InstanceMessage> expected{
        {InstanceMessage::Kind::openUrl, "prompter://play"}};
    EXPECT_EQ(received_, expected);
}

TEST_F(LocalSocketSingleInstanceTest, AHandOffCountsOnlyOnceTheRunningInstanceConfirmsIt) {
    // A later start wrote its request into the socket and ended with success even when
    // the running instance closed the connection unread. A stand-in that reads every byte
    // and answers nothing now leaves the later start with a failure to report.
    FileLock heldByTheStandIn;
    ASSERT_EQ(heldByTheStandIn.take(folder_ / "app.vorela.Vorela.lock"), FileLock::Outcome::taken);
    LocalSocketSingleInstance later(folder_, data_);
    ASSERT_EQ(later.claim({}), InstanceRole::secondary);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, later.socketPath().c_str(), sizeof address.sun_path - 1);
    const int listening = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listening, 4), 0);
    std::string heard;
    std::thread standIn([&] {
        const int fd = ::accept(listening, nullptr, nullptr);
        char buffer[4096];
        for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) heard.append(buffer, n);
        ::close(fd);
    });
    EXPECT_EQ(later.handOff({InstanceMessage::Kind::openUrl, "prompter://play"}),
              (HandOffError{HandOffError::Kind::notConfirmed, {}}));
    standIn.join();
    ::close(listening);
    EXPECT_EQ(heard, "url\nprompter://play");
}

TEST_F(LocalSocketSingleInstanceTest, ACrowdOfIdleOrStalledPeersDoesNotKeepALaterStartOut) {
    // The running instance read one connection at a time and closed any past 32 waiting:
    // a peer that kept 32 open, silent or half sent, dropped every later start's request.
    // Each connection is served on its own now, and the oldest go when too many are open.
    // The limits are long, so a later start gets through only if nobody waits on them.
    LocalSocketSingleInstance first(
        folder_, data_,
        {.idleTimeout = std::chrono::minutes(1), .messageDeadline = std::chrono::minutes(2)});
    ASSERT_EQ(first.claim([this](InstanceMessage m) { receive(std::move(m)); }),
              InstanceRole::primary);
    std::vector<std::unique_ptr<RawPeer>> crowd;
    auto gathering = std::async(std::launch::async, [&] {
        for (int i = 0; i < 150; ++i) {
            crowd.push_back(std::make_unique<RawPeer>(first.socketPath()));
            if (i % 3 == 0) crowd.back()->send("text\nmedio mensaje");
        }
    });
    EXPECT_TRUE(pumpUntil(
        [&] { return gathering.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    std::atomic<bool> isReconnecting{true};
    auto reconnecting = std::async(std::launch::async, [&] {
        while (isReconnecting) RawPeer{first.socketPath()};
    });
    LocalSocketSingleInstance later(folder_, data_);
    EXPECT_EQ(handOff(later, {InstanceMessage::Kind::openUrl, "prompter://read?text=hola"}),
              std::nullopt);
    isReconnecting = false;
    // Its last connection may wait to be accepted.
    EXPECT_TRUE(pumpUntil([&] {
        return reconnecting.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }));
    const std::vector<InstanceMessage> expected{
        {InstanceMessage::Kind::openUrl, "prompter://read?text=hola"}};
    EXPECT_EQ(received_, expected);
}

TEST_F(LocalSocketSingleInstanceTest, OnlyAPrivateFolderOfOursIsUsedAndTheLibraryStaysWithOne) {
    // Another local user could create the folder in /tmp first, then hold the lock and
    // receive every text handed over: a folder that is not ours and 0700 is refused.
    // Without it every start ran as a full instance on the same library, and two of them
    // wrote over each other's edits: the library's own lock keeps later starts out.
    namespace fs = std::filesystem;
    struct Case {
        const char* name;
        std::function<bool(const fs::path&)> make;  // false: not possible here
        bool isRefused;
    };
    const Case cases[] = {
        {"missing: created private", [](const fs::path&) { return true; }, false},
        {"ours and private", [](const fs::path& f) { return ::mkdir(f.c_str(), 0700) == 0; },
         false},
        {"ours but open to others",
         [](const fs::path& f) {
             return ::mkdir(f.c_str(), 0700) == 0 && ::chmod(f.c_str(), 0755) == 0;
         },
         true},
        {"another user's",
         [](const fs::path& f) {
             return ::mkdir(f.c_str(), 0700) == 0 && ::chown(f.c_str(), 65534, 65534) == 0 &&
                    ::getuid() != 65534;
         },
         true},
        {"a link to a private folder of ours",
         [this](const fs::path& f) {
             return ::mkdir((folder_ / "real").c_str(), 0700) == 0 &&
                    ::symlink((folder_ / "real").c_str(), f.c_str()) == 0;
         },
         true},
        {"a file", [](const fs::path& f) { return bool(std::ofstream(f)); }, true},
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
        {
            LocalSocketSingleInstance instance(runtime, data_);
            EXPECT_EQ(instance.claim({}), InstanceRole::primary);
            LocalSocketSingleInstance later(runtime, data_);
            EXPECT_EQ(later.claim({}), InstanceRole::secondary);
            if (c.isRefused) {
                // Nothing of ours goes into it, and nothing is handed to whoever listens.
                EXPECT_FALSE(fs::exists(instance.socketPath()));
                const auto error = later.handOff({InstanceMessage::Kind::readText, "secreto"});
                ASSERT_TRUE(error);
                EXPECT_EQ(error->kind, HandOffError::Kind::unsafeFolder);
                EXPECT_NE(error->description().find(runtime.string()), std::string::npos)
                    << error->description();
            } else {
                struct stat st {};
                ASSERT_EQ(::lstat(runtime.c_str(), &st), 0);
                EXPECT_EQ(st.st_mode & 07777, 0700u);
                EXPECT_TRUE(fs::exists(instance.socketPath()));
            }
        }
        EXPECT_EQ(LocalSocketSingleInstance(runtime, data_).claim({}), InstanceRole::primary)
            << "the first let go of the library";
    }
    // Neither folder usable: no lock at all, and the start carries on unchecked.
    std::ofstream(folder_ / "plain");
    EXPECT_EQ(LocalSocketSingleInstance(folder_ / "plain", folder_ / "plain" / "data").claim({}),
              InstanceRole::failed);
}

// The second process of the first test: it finds the primary and hands over.
TEST(LocalSocketSingleInstanceChild, HandsOverBigText) {
    const char* folder = std::getenv(kChildFolderVariable);
    if (!folder) GTEST_SKIP() << "runs only as the second process of another test";
    LocalSocketSingleInstance second(folder, std::filesystem::path(folder) / "data");
    ASSERT_EQ(second.claim({}), InstanceRole::secondary);
    ASSERT_EQ(second.handOff({InstanceMessage::Kind::readText, bigText()}), std::nullopt);
}

}  // namespace
}  // namespace vorela
