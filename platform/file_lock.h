#pragma once
// An exclusive advisory lock on a file for the length of a change to it: a second process
// of this program asking for the same file waits until the first has saved. Programs that
// do not ask for the lock are not held off.

#include <chrono>
#include <cstdint>
#include <string>

namespace pl3::platform {

enum class FileLockState {
    Held,      // this process holds the lock until the FileLock ends
    InUse,     // another process held it for the whole wait
    NotTaken,  // the file cannot be locked (missing, not a regular file, no locks where
               // it lies): errorNumber() says why; the caller goes on unguarded
};

class FileLock {
  public:
    // Locks the file path names (through symbolic links), waiting up to `wait` while
    // another process holds it. A file replaced meanwhile (a save renames a new one over
    // it) is locked as it is now, not as it was.
    FileLock(const std::string& path, std::chrono::milliseconds wait);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    FileLockState state() const { return state_; }
    int errorNumber() const { return errorNumber_; }

  private:
    std::intptr_t handle_ = -1;  // the system's handle of the locked file while held
    FileLockState state_ = FileLockState::NotTaken;
    int errorNumber_ = 0;
};

}  // namespace pl3::platform
