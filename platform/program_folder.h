#pragma once

#include <optional>
#include <string>

namespace pl3::platform {

// The folder that holds the running executable (from /proc/self/exe, on Windows from the
// module's file name), without a trailing separator. Empty when it cannot be determined.
std::string executableFolder();

// Removes "--program-dir DIR" (or "--program-dir=DIR") from argv wherever it appears after
// argv[0] and returns DIR without trailing slashes, or an empty string when the option is
// absent (the program folder is then looked for). An empty DIR names no folder: nullopt,
// which the programs refuse. When repeated, the last one wins.
// A "--program-dir" without a following argument stays in argv for the caller's usage check.
// argc/argv are compacted in place; argv[argc] stays nullptr.
std::optional<std::string> takeProgramDirOption(int& argc, char** argv);

}  // namespace pl3::platform
