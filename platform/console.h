#pragma once
// The standard streams of a command-line program, as the system gives them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/atomic_file.h"

namespace pl3::platform {

// Called first in main: makes the arguments UTF-8 (on Windows they are read again from the
// wide command line) and the standard streams carry the programs' bytes unchanged (UTF-8
// text, "\n" line ends), whatever the system would translate.
void prepareCommandLine(int& argc, char**& argv);

// Whether standard error is a terminal (a console), where progress can be redrawn in place.
bool standardErrorIsTerminal();

// The first maxBytes bytes standard input delivers.
std::optional<std::vector<std::uint8_t>> readStandardInputHead(std::size_t maxBytes,
                                                               FileError* error = nullptr);

}  // namespace pl3::platform
