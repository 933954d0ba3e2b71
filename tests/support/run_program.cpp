#include "run_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <stdexcept>

namespace pl3::test {

StartedProgram::StartedProgram(const std::string& program, const std::vector<std::string>& args,
                               const std::string& standardInput) {
    std::string path = std::string(PL3_BIN_DIR) + "/" + program;
    std::vector<char*> argv;
    argv.push_back(path.data());
    std::vector<std::string> copies(args);
    for (std::string& arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    std::string outPath = capture_.file("out"), errPath = capture_.file("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, standardInput.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    int spawned = posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + path);
}

StartedProgram::~StartedProgram() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
}

ProgramRun StartedProgram::wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    int exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return {exitCode, readText(capture_.file("out")), readText(capture_.file("err")),
            WIFSIGNALED(status)};
}

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args) {
    return StartedProgram(program, args).wait();
}

}  // namespace pl3::test
