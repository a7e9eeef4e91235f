#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Platform/Defaults/UserDefaults.h"
#include "Support/TinyFileSystem.h"

namespace vorela {
namespace {

namespace fs = std::filesystem;

// What the user is told about a preference file, on real files and folders.
class DefaultsProblemsTest : public ::testing::Test {
protected:
    ~DefaultsProblemsTest() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    static fs::path makeFolder() {
        char pattern[] = "/tmp/vorela-prefs-problems-XXXXXX";
        return ::mkdtemp(pattern);
    }
    // Every problem the suite reports, in order.
    Subscription collect(UserDefaults& suite) {
        return suite.observeProblems(
            [this](const std::string& text) { problems_.push_back(text); });
    }

    fs::path folder_ = makeFolder();
    std::vector<std::string> problems_;
};

TEST_F(DefaultsProblemsTest, ADamagedFileSetAsideIsToldOnce) {
    // A damaged preference file was moved aside and every setting reset with only a log
    // line, so the user saw settings change by themselves; now they are told where it went.
    const fs::path path = folder_ / "prefs.plist";
    std::ofstream(path) << "esto no es una lista de propiedades";
    {
        auto suite = UserDefaults::open(path.string());
        const Subscription first = collect(*suite);
        ASSERT_EQ(problems_.size(), 1u);
        EXPECT_TRUE(
            problems_[0].starts_with("Las preferencias estaban dañadas y volvieron a sus "
                                     "valores predeterminados. El archivo anterior se "
                                     "guardó aparte como «" +
                                     path.string() + ".corrupt-"))
            << problems_[0];
        suite->set("a", PropertyList(true));
        suite->flush();
        EXPECT_EQ(problems_.size(), 1u) << "writing the fresh file is no problem";
    }  // the suite goes, so the next open reads the file afresh

    auto healthy = UserDefaults::open(path.string());
    problems_.clear();
    const Subscription second = collect(*healthy);
    EXPECT_TRUE(problems_.empty());
}

TEST_F(DefaultsProblemsTest, WritesIntoAReadOnlyFolderAreToldOnceAndKeptInMemory) {
    // A read-only configuration folder failed every preference write with only a log line;
    // the user is told once that the changes last only until the program closes.
    testing::TinyFileSystem config(64 << 10);
    if (!config.isMounted()) GTEST_SKIP() << "mounting needs root";
    const fs::path path = config.folder() / "prefs.plist";
    UserDefaults::open(path.string())->set("speed", PropertyList(1.5));  // flushed when gone
    ASSERT_TRUE(config.makeReadOnly());

    auto suite = UserDefaults::open(path.string());
    const Subscription observed = collect(*suite);
    EXPECT_TRUE(problems_.empty());
    suite->set("speed", PropertyList(2.0));
    suite->flush();
    suite->set("speed", PropertyList(2.5));
    suite->flush();
    ASSERT_EQ(problems_.size(), 1u);
    EXPECT_EQ(problems_[0], "No se pueden guardar las preferencias en «" + path.string() +
                                "»: los cambios de ajustes valen solo hasta que se cierre Vorela.");
    EXPECT_EQ(suite->object("speed"), PropertyList(2.5));
}

}  // namespace
}  // namespace vorela
