#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace vorela::testing {

// A stand-in for the decoder program: a shell script in a temporary folder.
class ScriptedProgram {
public:
    explicit ScriptedProgram(const std::string& body) {
        char pattern[] = "/tmp/vorela-decoder-test-XXXXXX";
        folder_ = mkdtemp(pattern);
        std::ofstream(path()) << "#!/bin/sh\n" << body << "\n";
        chmod(path().c_str(), 0700);
    }
    ~ScriptedProgram() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    ScriptedProgram(const ScriptedProgram&) = delete;
    ScriptedProgram& operator=(const ScriptedProgram&) = delete;

    std::filesystem::path path() const { return folder_ / "decoder"; }

private:
    std::filesystem::path folder_;
};

}  // namespace vorela::testing
