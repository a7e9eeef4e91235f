#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>

namespace vorela::testing {

// A fresh folder of stub programs for a PATH: each stub, when started, leaves its name and
// arguments ("pavucontrol --tab=4") in the folder's record, so a test sees which program
// ran and how. The folder goes with it.
class StubPrograms final {
public:
    StubPrograms() {
        std::string pattern = std::filesystem::temp_directory_path() / "vorela-stubs-XXXXXX";
        if (mkdtemp(pattern.data())) root_ = pattern;
        std::filesystem::create_directories(bin());
    }
    ~StubPrograms() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    StubPrograms(const StubPrograms&) = delete;
    StubPrograms& operator=(const StubPrograms&) = delete;
    StubPrograms(StubPrograms&&) = delete;
    StubPrograms& operator=(StubPrograms&&) = delete;

    // The folder to put on PATH.
    std::filesystem::path bin() const { return root_ / "bin"; }

    void add(const std::string& name) {
        const auto file = bin() / name;
        const std::string record = (root_ / "ran").string();
        // Written whole, then renamed: a reader never sees half a line.
        std::ofstream(file) << "#!/bin/sh\necho \"$(basename \"$0\") $*\" > '" << record
                            << ".part' && mv '" << record << ".part' '" << record << "'\n";
        std::filesystem::permissions(file, std::filesystem::perms::owner_all);
    }

    // What the last stub started left behind; none while no stub ran.
    std::optional<std::string> ran() const {
        std::ifstream in(root_ / "ran");
        if (!in) return std::nullopt;
        std::string line((std::istreambuf_iterator<char>(in)), {});
        while (!line.empty() && line.back() == '\n') line.pop_back();
        return line;
    }

private:
    std::filesystem::path root_;
};

}  // namespace vorela::testing
