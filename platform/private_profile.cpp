#include "platform/private_profile.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/file_status.h"

namespace pl3::platform {

namespace {

// Far beyond any settings or language file; anything larger is treated as unreadable.
constexpr std::size_t kMaxProfileBytes = 16 * 1024 * 1024;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    }
    return true;
}

bool isQuote(char c) {
    return c == '"' || c == '\'';
}

std::string_view unquote(std::string_view value) {
    if (value.size() >= 2 && isQuote(value.front()) && value.front() == value.back()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// Length of the well-formed UTF-8 sequence starting at `pos`, or 1 for a stray byte.
std::size_t sequenceLength(std::string_view text, std::size_t pos) {
    auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byteAt(pos);
    if (lead < 0x80) return 1;
    std::size_t trailing = 0;
    unsigned char low = 0x80;  // allowed range of the first trailing byte
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trailing = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trailing = 2;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trailing = 3;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
    } else {
        return 1;
    }
    if (text.size() - pos <= trailing) return 1;
    if (byteAt(pos + 1) < low || byteAt(pos + 1) > high) return 1;
    for (std::size_t i = 2; i <= trailing; ++i) {
        if (byteAt(pos + i) < 0x80 || byteAt(pos + i) > 0xBF) return 1;
    }
    return trailing + 1;
}

bool isText(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        if (text[pos] == '\0') return false;
        std::size_t length = sequenceLength(text, pos);
        if (length == 1 && static_cast<unsigned char>(text[pos]) >= 0x80) return false;
        pos += length;
    }
    return true;
}

// What a caller's buffer of bufferLength characters (one kept for the terminator) receives.
std::string cutToBuffer(std::string_view text, int bufferLength) {
    if (bufferLength <= 0) return {};
    auto characters = static_cast<std::size_t>(bufferLength) - 1;
    std::size_t pos = 0;
    for (std::size_t count = 0; count < characters && pos < text.size(); ++count) {
        pos += sequenceLength(text, pos);
    }
    return std::string(text.substr(0, pos));
}

struct Line {
    std::string_view text;  // without the line end
    std::string_view end;   // "\n", "\r\n" or empty for a last line without one
};

std::vector<Line> splitLines(std::string_view body) {
    std::vector<Line> lines;
    while (!body.empty()) {
        std::size_t newline = body.find('\n');
        std::size_t length = newline == std::string_view::npos ? body.size() : newline + 1;
        std::string_view whole = body.substr(0, length);
        body.remove_prefix(length);
        std::size_t endLength = 0;
        if (!whole.empty() && whole.back() == '\n') {
            endLength = whole.size() >= 2 && whole[whole.size() - 2] == '\r' ? 2 : 1;
        }
        lines.push_back(
            {whole.substr(0, whole.size() - endLength), whole.substr(whole.size() - endLength)});
    }
    return lines;
}

enum class LineKind { Other, Section, Key };

struct Entry {
    LineKind kind = LineKind::Other;
    std::string_view name;   // trimmed section or key name
    std::string_view value;  // trimmed, unquoted value of a key
};

Entry parseLine(std::string_view text) {
    std::string_view content = trim(text);
    if (content.empty() || content.front() == ';') return {};
    if (content.front() == '[') {
        std::size_t close = content.find(']');
        if (close == std::string_view::npos) return {};
        return {LineKind::Section, trim(content.substr(1, close - 1)), {}};
    }
    std::size_t equals = content.find('=');
    if (equals == std::string_view::npos) return {};
    return {LineKind::Key, trim(content.substr(0, equals)),
            unquote(trim(content.substr(equals + 1)))};
}

struct Profile {
    std::vector<std::uint8_t> bytes;
    bool hasByteOrderMark = false;
    std::vector<Line> lines;  // views into bytes
};

// Reads and splits the file; nullopt with the reason in `error` when it cannot be read.
Profile splitProfile(std::vector<std::uint8_t> bytes) {
    Profile profile;
    profile.bytes = std::move(bytes);
    std::string_view body(reinterpret_cast<const char*>(profile.bytes.data()),
                          profile.bytes.size());
    if (body.starts_with(kByteOrderMark)) {
        profile.hasByteOrderMark = true;
        body.remove_prefix(kByteOrderMark.size());
    }
    profile.lines = splitLines(body);
    return profile;
}

std::optional<Profile> loadProfile(const std::string& path, FileError* error) {
    auto bytes = readFile(path, kMaxProfileBytes, error);
    if (!bytes) return std::nullopt;
    return splitProfile(std::move(*bytes));
}

// Index of the line holding the value readers see: the first `key` line in any section
// named `section`, so a repeated section extends the first one.
std::optional<std::size_t> findKeyLine(const std::vector<Line>& lines, std::string_view section,
                                       std::string_view key) {
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Entry entry = parseLine(lines[i].text);
        if (entry.kind == LineKind::Section) {
            inSection = equalsIgnoringCase(entry.name, section);
        } else if (entry.kind == LineKind::Key && inSection &&
                   equalsIgnoringCase(entry.name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::string lowerAscii(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered)
        c = lowerAscii(c);
    return lowered;
}

std::string indexKey(std::string_view section, std::string_view key) {
    std::string joined = lowerAscii(section);
    joined += '\0';  // no section name holds a NUL: the pair stays unambiguous
    joined += lowerAscii(key);
    return joined;
}

// Every value readers can see, by section and key: the first key line of any section with
// that name wins, as findKeyLine has it.
std::unordered_map<std::string, std::string> indexProfile(const Profile& profile) {
    std::unordered_map<std::string, std::string> values;
    std::string_view section;
    bool inSection = false;
    for (const Line& line : profile.lines) {
        Entry entry = parseLine(line.text);
        if (entry.kind == LineKind::Section) {
            section = entry.name;
            inSection = true;
        } else if (entry.kind == LineKind::Key && inSection) {
            values.try_emplace(indexKey(section, entry.name), entry.value);
        }
    }
    return values;
}

// File times advance in coarse steps (a few milliseconds): a file written again within one
// step can keep its times, and its file number can be one just freed. A stamp is trusted only
// once it is older than any such step; a younger file is read and compared byte for byte.
bool settled(const RegularFileStamp& stamp) {
    const auto now = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    auto olderThanASecond = [&](std::int64_t timeNs) { return now - timeNs / 1'000'000'000 >= 2; };
    return olderThanASecond(stamp.modifiedNs) && olderThanASecond(stamp.changedNs);
}

// Settings and language files are looked up thousands of times while a page is filled; the
// file is looked at every time (an edit takes effect at the next use) but parsed again only
// when it changed. Shared by every thread: the radio jobs read the settings too.
class ParsedProfiles {
  public:
    std::optional<std::string> lookUp(const std::string& path, std::string_view section,
                                      std::string_view key) {
        std::optional<RegularFileStamp> stamp = regularFileStamp(path);
        if (!stamp) return std::nullopt;
        std::lock_guard<std::mutex> lock(mutex_);
        auto cached = profiles_.find(path);
        const bool trusted =
            cached != profiles_.end() && cached->second.stamp == *stamp && settled(*stamp);
        if (!trusted) {
            auto bytes = readFile(path, kMaxProfileBytes);
            if (!bytes) return std::nullopt;
            if (cached == profiles_.end() || cached->second.bytes != *bytes) {
                if (profiles_.size() >= kMaxFiles) profiles_.clear();
                Profile profile = splitProfile(std::move(*bytes));
                auto values = indexProfile(profile);
                cached = profiles_
                             .insert_or_assign(
                                 path, Parsed{*stamp, std::move(profile.bytes), std::move(values)})
                             .first;
            }
            cached->second.stamp = *stamp;
        }
        auto value = cached->second.values.find(indexKey(trim(section), trim(key)));
        if (value == cached->second.values.end()) return std::nullopt;
        return value->second;
    }

  private:
    // A program reads its settings, a language file or two and, in tests, a few copies.
    static constexpr std::size_t kMaxFiles = 16;
    struct Parsed {
        RegularFileStamp stamp;
        std::vector<std::uint8_t> bytes;
        std::unordered_map<std::string, std::string> values;
    };
    std::mutex mutex_;
    std::unordered_map<std::string, Parsed> profiles_;
};

std::optional<std::string> lookUp(const std::string& path, std::string_view section,
                                  std::string_view key) {
    static ParsedProfiles profiles;
    return profiles.lookUp(path, section, key);
}

// A value that reading would alter (outer blanks, outer matching quotes) is stored in
// quotes, so that reading gives back exactly what was written.
std::string encodeValue(std::string_view value) {
    bool needsQuotes = !value.empty() && (isBlank(value.front()) || isBlank(value.back()) ||
                                          unquote(value).size() != value.size());
    if (!needsQuotes) return std::string(value);
    std::string quoted;
    quoted.reserve(value.size() + 2);
    quoted += '"';
    quoted += value;
    quoted += '"';
    return quoted;
}

// Names and values that could not be read back as the same section and key.
bool isStorable(std::string_view section, std::string_view key, std::string_view value) {
    auto hasLineBreak = [](std::string_view text) {
        return text.find_first_of("\r\n") != std::string_view::npos;
    };
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value)) return false;
    if (section.find(']') != std::string_view::npos) return false;
    if (key.empty() || key.find('=') != std::string_view::npos) return false;
    return key.front() != ';' && key.front() != '[';
}

bool isBlankLine(const Line& line) {
    return trim(line.text).empty();
}

// Where a missing key goes: after the last non-blank line of the first matching section.
std::optional<std::size_t> findInsertionLine(const std::vector<Line>& lines,
                                             std::string_view section) {
    std::optional<std::size_t> insertAfter;
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Entry entry = parseLine(lines[i].text);
        if (entry.kind == LineKind::Section) {
            if (inSection) break;
            inSection = equalsIgnoringCase(entry.name, section);
        }
        if (inSection && !isBlankLine(lines[i])) insertAfter = i;
    }
    return insertAfter;
}

std::string joinLine(const Line& line) {
    std::string joined(line.text);
    joined += line.end;
    return joined;
}

std::string rewrite(const Profile& profile, std::string_view section, std::string_view key,
                    std::string_view value) {
    const std::vector<Line>& lines = profile.lines;
    std::string_view lineEnd = !lines.empty() && lines.front().end == "\r\n" ? "\r\n" : "\n";
    std::string newEntry = std::string(key) + "=" + encodeValue(value);

    std::string out;
    out.reserve(profile.bytes.size() + newEntry.size() + section.size() + 8);
    if (profile.hasByteOrderMark) out += kByteOrderMark;

    if (auto keyLine = findKeyLine(lines, section, key)) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i != *keyLine) {
                out += joinLine(lines[i]);
                continue;
            }
            // Keep the indentation and the spelling of the key as the file has them.
            std::string_view text = lines[i].text;
            std::size_t indent = 0;
            while (indent < text.size() && isBlank(text[indent]))
                ++indent;
            out += text.substr(0, indent);
            out += parseLine(text).name;
            out += '=';
            out += encodeValue(value);
            out += lines[i].end;
        }
        return out;
    }

    if (auto insertAfter = findInsertionLine(lines, section)) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            out += joinLine(lines[i]);
            if (i != *insertAfter) continue;
            if (lines[i].end.empty()) out += lineEnd;
            out += newEntry;
            out += lineEnd;
        }
        return out;
    }

    for (const Line& line : lines)
        out += joinLine(line);
    if (!lines.empty()) {
        if (lines.back().end.empty()) out += lineEnd;
        if (!isBlankLine(lines.back())) out += lineEnd;
    }
    out += '[';
    out += section;
    out += ']';
    out += lineEnd;
    out += newEntry;
    out += lineEnd;
    return out;
}

}  // namespace

std::string readString(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view defaultValue, int bufferLength) {
    if (bufferLength <= 0) return {};
    auto value = lookUp(path, section, key);
    return cutToBuffer(value ? std::string_view(*value) : defaultValue, bufferLength);
}

std::optional<std::string> findString(const std::string& path, std::string_view section,
                                      std::string_view key) {
    return lookUp(path, section, key);
}

int readInt(const std::string& path, std::string_view section, std::string_view key,
            int defaultValue) {
    auto value = lookUp(path, section, key);
    if (!value) return defaultValue;
    std::string_view text = *value;
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() < '0' || text.front() > '9') return defaultValue;

    // Accumulating beyond the magnitude of INT_MIN is pointless: the result saturates.
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
    long long magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > kLimit) magnitude = kLimit;
    }
    if (negative) return static_cast<int>(-magnitude);  // -kLimit is exactly INT_MIN
    return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

bool writeString(const std::string& path, std::string_view section, std::string_view key,
                 std::string_view value) {
    section = trim(section);
    key = trim(key);
    if (!isStorable(section, key, value)) return false;

    FileError error;
    auto profile = loadProfile(path, &error);
    if (!profile) {
        // A missing file is created; any other failure must not be papered over by
        // replacing a file we could not read.
        if (error.errorNumber != ENOENT) return false;
        profile.emplace();
    }
    std::string text = rewrite(*profile, section, key, value);
    return writeFileAtomically(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

ProfileContent inspectProfile(const std::string& path, FileError* error) {
    auto bytes = readFile(path, kMaxProfileBytes, error);
    if (!bytes) return ProfileContent::Unreadable;
    std::string_view body(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    return isText(body) ? ProfileContent::Text : ProfileContent::NotText;
}

}  // namespace pl3::platform
