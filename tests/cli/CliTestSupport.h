#pragma once
// Runs the calculator in-process and captures what a terminal would show; a file of the test's own for it.
#include "CliRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace korvane::cli::test {

using Args = std::vector<std::string>;
struct Outcome {
    int code;
    std::string out, err;
};

// `in`: what `-` reads.
inline Outcome Cli(const Args& args, const std::string* in = nullptr) {
    std::ostringstream out, err;
    std::istringstream input(in ? *in : "");
    const int code = RunCli(args, {KORVANE_BIN_DIR, false, false, in ? &input : nullptr}, out, err);
    return {code, out.str(), err.str()};
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

inline std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class WithFile : public ::testing::Test {
  protected:
    void TearDown() override { std::filesystem::remove_all(path_); }
    std::string Write(const std::string& bytes) {
        std::ofstream(path_, std::ios::binary) << bytes;
        return path_.string();
    }
    static inline int made_ = 0;
    const std::filesystem::path path_ =
        std::filesystem::temp_directory_path() /
        ("korvane_cli_" + std::to_string(::getpid()) + "_" + std::to_string(++made_));
};

} // namespace korvane::cli::test
