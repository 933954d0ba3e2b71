#include "platform/console.h"

#include <unistd.h>

namespace pl3::platform {

void prepareCommandLine(int&, char**&) {}

bool standardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

std::optional<std::vector<std::uint8_t>> readStandardInputHead(std::size_t maxBytes,
                                                               FileError* error) {
    return readDescriptorHead(STDIN_FILENO, maxBytes, error);
}

}  // namespace pl3::platform
