#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>

#include "Script/Importers/ScriptImporter.h"

namespace vorela {
namespace {

namespace fs = std::filesystem;

TEST(SpecialFileImportTest, NamedPipeIsRefusedWithoutWaitingForAWriter) {
    // Importing a named pipe froze the main thread: opening it waited for a writer that never came.
    // Only a regular file has contents and a size to bound the read by; anything else is refused.
    const fs::path dir =
        fs::temp_directory_path() / ("vorela-special-import-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path pipe = dir / "guion.txt";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);

    auto load = std::async(std::launch::async, [&] { return ScriptImporter::load(pipe); });
    const bool finished = load.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!finished) {
        // Release the blocked reader so that the test ends instead of hanging.
        const int writer = ::open(pipe.c_str(), O_WRONLY);
        if (writer >= 0) ::close(writer);
    }
    const auto imported = load.get();
    fs::remove_all(dir);

    ASSERT_TRUE(finished) << "the import waited for a writer to open the pipe";
    ASSERT_FALSE(imported.ok());
    EXPECT_EQ(imported.error().description(), "No se pudo leer el archivo «guion.txt».");
}

TEST(SpecialFileImportTest, AFileShorterThanItsSizeAtOpenIsRefusedNotCut) {
    // A file cut short while it was read was imported as far as it went, without a word;
    // the bytes read must be all the bytes the open file had. A sysfs file is the real
    // case of that: it declares a page of 4096 bytes and holds only a few.
    const fs::path shortFile = "/sys/kernel/uevent_seqnum";
    if (!fs::exists(shortFile)) GTEST_SKIP() << "no sysfs here";
    const fs::path link =
        fs::temp_directory_path() / ("vorela-cortado-" + std::to_string(::getpid()) + ".txt");
    fs::create_symlink(shortFile, link);
    const auto imported = ScriptImporter::load(link);
    fs::remove(link);
    ASSERT_FALSE(imported.ok());
    EXPECT_EQ(imported.error().description(),
              "El archivo «" + link.filename().string() +
                  "» cambió mientras se leía; no se importó. Probá de nuevo cuando termine de "
                  "guardarse.");
}

}  // namespace
}  // namespace vorela
