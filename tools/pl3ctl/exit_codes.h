#pragma once

#include "link/transfer_job.h"

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

// The status of a read or a write that ended so.
inline int exitCodeOf(link::JobStatus status) {
    switch (status) {
        case link::JobStatus::ReadComplete:
        case link::JobStatus::WriteComplete:
            return kExitDone;
        case link::JobStatus::NoRadio:
            return kExitNoRadio;
        case link::JobStatus::WrongRadio:
            return kExitWrongRadio;
        case link::JobStatus::ReadFailed:
            return kExitReadFailed;
        default:
            return kExitWriteFailed;
    }
}

}  // namespace pl3::cli
