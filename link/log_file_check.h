#pragma once
// Which file may take the conversation log of a transfer (pl3ctl --log FILE). A log
// replaces what the file held, so it never goes to a file the same command reads or
// writes, nor over a file that is neither an earlier conversation log nor empty; and never
// to a folder, a device or a FIFO (opening one for writing can hang or disturb it).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pl3::link {

enum class LogFileRefusal {
    InUse,        // one of the command's own files
    NotAFile,     // a folder, device, FIFO or socket
    NotALog,      // an existing file with other content
    CannotWrite,  // see errorNumber
};

struct LogFileProblem {
    LogFileRefusal refusal;
    int errorNumber = 0;
};

// Nothing when path may take the log. filesInUse are the files the command reads or
// writes; a file that does not exist yet is the same as path when both end at one name
// in one folder, once symbolic links are followed.
std::optional<LogFileProblem> logFileProblem(const std::string& path,
                                             const std::vector<std::string>& filesInUse);

// The text key of the message that refuses the file; the file (and why) follow it.
std::string_view refusalKey(LogFileRefusal refusal);

}  // namespace pl3::link
