#include "codeplug/backup_store.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <tuple>

#include "codeplug/data_file.h"
#include "codeplug/text_keys.h"
#include "platform/local_time.h"
#include "platform/user_data_folder.h"
#include "platform/utf8_path.h"

namespace pl3::backup {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kReadName = "read";
constexpr std::string_view kBeforeWriteName = "before-write";
constexpr int kMaxSequence = 999;
constexpr std::time_t kSecondsPerDay = 24 * 60 * 60;
// "YYYY-MM-DD_HHMMSS"
constexpr std::size_t kStampLength = 17;

std::string_view eventName(Event event) {
    return event == Event::Read ? kReadName : kBeforeWriteName;
}

// Exactly `width` decimal digits at text[at], within [min, max].
std::optional<int> digitsAt(std::string_view text, std::size_t at, std::size_t width, int min,
                            int max) {
    if (at + width > text.size()) return std::nullopt;
    int value = 0;
    for (std::size_t i = at; i < at + width; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    if (value < min || value > max) return std::nullopt;
    return value;
}

bool removeSuffix(std::string_view& text, std::string_view suffix) {
    if (!text.ends_with(suffix)) return false;
    text.remove_suffix(suffix.size());
    return true;
}

// The note beside a backup naming the device it was read from.
constexpr std::string_view kPortNoteExtension = ".port";
// A device path is short; anything longer in a note is not one of ours.
constexpr std::streamsize kMaxPortNote = 1024;

fs::path portNoteOf(const fs::path& backup) {
    fs::path note = backup;
    note.replace_extension(kPortNoteExtension);
    return note;
}

// The note's first line; empty when there is no note, or it holds no device path.
std::string readPortNote(const fs::path& backup) {
    std::error_code error;
    const fs::path note = portNoteOf(backup);
    if (fs::symlink_status(note, error).type() != fs::file_type::regular) return {};
    std::ifstream in(note, std::ios::binary);
    std::string text(static_cast<std::size_t>(kMaxPortNote), '\0');
    in.read(text.data(), kMaxPortNote);
    text.resize(static_cast<std::size_t>(in.gcount()));
    const std::size_t end = text.find('\n');
    if (end == std::string::npos && in.gcount() == kMaxPortNote) return {};
    text.resize(std::min(end, text.size()));
    const bool printable = std::none_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
    return printable ? text : std::string();
}

}  // namespace

std::string defaultFolder() {
    std::string base = platform::userDataFolder();
    if (base.empty()) return {};
    return base + "/pl3/backups";
}

std::string fileName(const std::tm& localTime, Event event, int sequence) {
    char stamp[32];
    std::string name(stamp, std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H%M%S", &localTime));
    if (sequence > 1) name += "-" + std::to_string(sequence);
    name += "_";
    name += eventName(event);
    name += data_file::kExtension;
    return name;
}

std::optional<std::time_t> timeOf(std::string_view name) {
    if (!removeSuffix(name, data_file::kExtension)) return std::nullopt;
    if (!removeSuffix(name, std::string(1, '_') + std::string(kReadName)) &&
        !removeSuffix(name, std::string(1, '_') + std::string(kBeforeWriteName)))
        return std::nullopt;
    if (name.size() > kStampLength) {
        std::string_view sequence = name.substr(kStampLength);
        int value = 0;
        auto [end, error] =
            std::from_chars(sequence.data() + 1, sequence.data() + sequence.size(), value);
        if (sequence.front() != '-' || error != std::errc() ||
            end != sequence.data() + sequence.size() || value < 2)
            return std::nullopt;
        name = name.substr(0, kStampLength);
    }
    if (name.size() != kStampLength || name[4] != '-' || name[7] != '-' || name[10] != '_')
        return std::nullopt;
    std::optional<int> year = digitsAt(name, 0, 4, 1970, 9999);
    std::optional<int> month = digitsAt(name, 5, 2, 1, 12);
    std::optional<int> day = digitsAt(name, 8, 2, 1, 31);
    std::optional<int> hour = digitsAt(name, 11, 2, 0, 23);
    std::optional<int> minute = digitsAt(name, 13, 2, 0, 59);
    std::optional<int> second = digitsAt(name, 15, 2, 0, 60);
    if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
    std::tm time{};
    time.tm_year = *year - 1900;
    time.tm_mon = *month - 1;
    time.tm_mday = *day;
    time.tm_hour = *hour;
    time.tm_min = *minute;
    time.tm_sec = *second;
    time.tm_isdst = -1;
    std::time_t value = std::mktime(&time);
    if (value == static_cast<std::time_t>(-1)) return std::nullopt;
    return value;
}

std::optional<std::string> BackupStore::save(const Image& image, Event event, Prompter& prompter,
                                             std::time_t now, const std::string& port) {
    auto fail = [&](const std::string& reason) -> std::optional<std::string> {
        if (!warned_) {
            warned_ = true;
            prompter.showMessage({text_key::kPrompt, text_key::kWarnBackup,
                                  folder_.empty() ? reason : folder_ + "\n" + reason,
                                  PromptIcon::Exclamation});
        }
        return std::nullopt;
    };
    if (folder_.empty()) return fail("no user data folder (HOME is not set)");

    std::error_code error;
    if (fs::create_directories(platform::utf8Path(folder_), error)) {
        // Backups are the user's own data: keep the new folder private.
        fs::permissions(platform::utf8Path(folder_), fs::perms::owner_all, error);
    }
    if (error) return fail(error.message());

    const std::tm local = platform::localTime(now);
    std::string path;
    for (int sequence = 1; sequence <= kMaxSequence && path.empty(); ++sequence) {
        std::string candidate = folder_ + "/" + fileName(local, event, sequence);
        if (!fs::exists(fs::symlink_status(platform::utf8Path(candidate), error))) path = candidate;
    }
    if (path.empty()) return fail(std::make_error_code(std::errc::file_exists).message());

    Header header{};
    data_file::writeMagic(header);
    platform::FileError fileError;
    if (!data_file::write(path, header, image, &fileError)) return fail(fileError.describe());
    // Only a help for telling reads apart later: a note that cannot be written is no failure.
    if (!port.empty()) std::ofstream(portNoteOf(platform::utf8Path(path))) << port << "\n";
    prune(now);
    return path;
}

std::optional<BackupFile> BackupStore::latest(Event event) const {
    const std::string suffix =
        "_" + std::string(eventName(event)) + std::string(data_file::kExtension);
    std::error_code error;
    fs::directory_iterator it(platform::utf8Path(folder_), error);
    std::optional<BackupFile> newest;
    // By time, then by sequence: within one second "-2" is longer than the first name.
    std::tuple<std::time_t, std::size_t, std::string> newestKey;
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::error_code entryError;
        if (it->symlink_status(entryError).type() != fs::file_type::regular) continue;
        std::string name = it->path().filename().string();
        std::optional<std::time_t> made = timeOf(name);
        if (!made || !name.ends_with(suffix)) continue;
        auto key = std::make_tuple(*made, name.size(), name);
        if (!newest || key > newestKey) {
            newest = BackupFile{it->path().string(), *made, {}};
            newestKey = std::move(key);
        }
    }
    if (newest) newest->port = readPortNote(platform::utf8Path(newest->path));
    return newest;
}

int BackupStore::prune(std::time_t now) const {
    std::error_code error;
    fs::directory_iterator it(platform::utf8Path(folder_), error);
    if (error) return 0;
    int removed = 0;
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::error_code entryError;
        // Only files this program wrote: never a link, however it is named.
        if (it->symlink_status(entryError).type() != fs::file_type::regular) continue;
        std::optional<std::time_t> made = timeOf(it->path().filename().string());
        if (!made || now - *made <= kKeepDays * kSecondsPerDay) continue;
        if (!fs::remove(it->path(), entryError)) continue;
        ++removed;
        fs::remove(portNoteOf(it->path()), entryError);
    }
    return removed;
}

}  // namespace pl3::backup
