#pragma once
// Runs one of the built programs and captures what it prints.

#include <string>
#include <vector>

namespace pl3::test {

struct ProgramRun {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs PL3_BIN_DIR/<program> with the arguments, standard input closed.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args);

}  // namespace pl3::test
