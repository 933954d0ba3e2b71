#pragma once
// Files only their owner may read and write (mode 0600), for text that can hold a whole
// codeplug, the power-on password included.

#include <cstdio>
#include <string>

namespace pl3::platform {

// A new file, open for writing; nullptr with errno when it cannot be made, also when the
// name is taken (EEXIST), by a symbolic link that leads nowhere too.
std::FILE* createPrivateFile(const std::string& path);

// An existing regular file, emptied and made private, open for writing; nullptr with errno
// otherwise. Anything but a regular file fails with EINVAL, without waiting on a FIFO or
// touching a device.
std::FILE* rewritePrivateFile(const std::string& path);

// Whether the file may be written: an existing one itself, else its folder. False with
// *errorNumber set otherwise (EEXIST for a symbolic link that leads nowhere, which
// createPrivateFile refuses).
bool mayWriteFile(const std::string& path, int* errorNumber);

}  // namespace pl3::platform
