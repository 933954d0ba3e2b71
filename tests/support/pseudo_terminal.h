#pragma once
// The slave side of a pseudo-terminal: a device a serial port can really open, with
// nobody answering on the other side.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace pl3::test {

class PseudoTerminal {
  public:
    PseudoTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        char name[128] = {};
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
            ::ptsname_r(master_, name, sizeof name) != 0) {
            return;
        }
        slavePath_ = name;
    }
    ~PseudoTerminal() {
        if (master_ >= 0) ::close(master_);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& slavePath() const { return slavePath_; }

  private:
    int master_ = -1;
    std::string slavePath_;
};

}  // namespace pl3::test
