#pragma once

namespace pl3::cli {

// The exit status contract of pl3ctl, shared by every command.
enum ExitCode : int {
    kExitDone = 0,
    kExitUsage = 1,
    kExitDifferent = 1,  // diff: the codeplugs differ
    kExitFileError = 2,
    kExitNoRadio = 3,
    kExitWrongRadio = 4,
    kExitReadFailed = 5,
    kExitWriteFailed = 6,
    kExitSomeFailed = 7,     // several radios: some were written, others not
    kExitInterrupted = 130,  // stopped by Ctrl+C, SIGTERM or SIGHUP (128 + SIGINT)
};

}  // namespace pl3::cli
