#pragma once
// Runs one of the built programs and captures what it prints.

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace pl3::test {

struct ProgramRun {
    int exitCode;  // 128 + the signal for a program a signal ended
    std::string out;
    std::string err;
    bool endedBySignal = false;
};

// PL3_BIN_DIR/<program> running in the background with the arguments; standard input
// comes from the file standardInput.
class StartedProgram {
  public:
    StartedProgram(const std::string& program, const std::vector<std::string>& args,
                   const std::string& standardInput = "/dev/null");
    // A program not waited for is killed.
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    pid_t pid() const { return pid_; }
    ProgramRun wait();

  private:
    TempDir capture_;
    pid_t pid_ = -1;
};

// Runs PL3_BIN_DIR/<program> with the arguments to its end, standard input closed.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args);

}  // namespace pl3::test
