#pragma once
// INI-file access with the semantics of the Windows private-profile calls that the
// settings and language files were written for. Every call looks at the file again, so a
// value written by one part (or an edit by hand) is seen by the next reader; a file that has
// not changed since (same file, size and times to the nanosecond) is not parsed again.

#include <optional>
#include <string>
#include <string_view>

#include "platform/atomic_file.h"

namespace pl3::platform {

// File layout: "[name]" lines start sections (the text up to the first ']'; a '[' line
// without ']' is ignored), "key=value" lines are split at the first '=', lines starting
// with ';' are comments, other lines are ignored. A UTF-8 byte-order mark and CRLF or LF
// line ends are accepted. Keys before the first section are never found. A file larger
// than 16 MiB counts as unreadable.
//
// Look-up order: the first matching key line wins. A section that appears twice acts as
// one: its first occurrence is searched first, then the later ones.

// Value of `key` in `section` of the file at `path`, or `defaultValue` when the file,
// the section or the key is missing. Section and key names match case-insensitively
// (ASCII); blanks around names and values are trimmed; a value in matching quotes loses
// them; a value (or default) longer than the buffer is cut to bufferLength - 1 characters
// (UTF-8 code points, never a broken sequence; an invalid byte counts as one character).
// bufferLength <= 0 gives an empty string.
std::string readString(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view defaultValue, int bufferLength);

// The value as readString would see it before any buffer cut, or nullopt when the file,
// the section or the key is missing: tells an empty value from an absent key.
std::optional<std::string> findString(const std::string& path, std::string_view section,
                                      std::string_view key);

// The leading decimal digits of the (trimmed, unquoted) value, a '+' or '-' allowed in
// front, or `defaultValue` when the key is missing or its value starts with no digit.
// Saturates at the int range.
int readInt(const std::string& path, std::string_view section, std::string_view key,
            int defaultValue);

// Sets `key` in `section` to `value`, keeping every other line of the file byte for byte
// (comments, order, unknown keys, BOM, line ends). The line readString would read is
// rewritten, keeping its indentation and the key's spelling. A missing key is added after
// the last non-blank line of the section's first occurrence; a missing section is added at
// the end of the file after a blank line; a missing file is created. New lines use CRLF
// when the first line ends with CRLF, else LF. A value that reading would change (outer
// blanks, outer matching quotes) is written in double quotes so it reads back unchanged.
// The file is replaced atomically. Returns false when the file could not be read or
// written, or when the names or value cannot be stored on one line (line breaks, an empty
// key, '=' in the key or a key starting with ';' or '[', ']' in the section).
bool writeString(const std::string& path, std::string_view section, std::string_view key,
                 std::string_view value);

// Whether readers can make sense of the file: it reads as empty when it cannot be read or
// is not text (a NUL byte or a byte sequence that is not UTF-8), which the user should be
// told rather than left to find out from defaults.
enum class ProfileContent { Text, NotText, Unreadable };
ProfileContent inspectProfile(const std::string& path, FileError* error = nullptr);

}  // namespace pl3::platform
