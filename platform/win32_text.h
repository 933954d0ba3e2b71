#pragma once
// What every Win32 back-end needs: UTF-8 names inside the programs, UTF-16 at each system
// call, and Win32 error codes told as the errno values the callers already understand.
// Included by the *_win32.cpp files only.

#include <string>
#include <string_view>

namespace pl3::platform::win32 {

std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view utf16);

// The folder a file name lies in, either separator understood: "." for a bare name, C:\ for
// a file at the top of drive C.
std::string folderOf(const std::string& path);

// The errno value of a GetLastError() code (EIO for the ones without a match).
int errnoOf(unsigned long win32Error);

}  // namespace pl3::platform::win32
