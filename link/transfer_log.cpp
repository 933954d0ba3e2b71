#include "link/transfer_log.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <system_error>
#include <tuple>

#include "link/log_file_check.h"
#include "platform/local_time.h"
#include "platform/private_file.h"
#include "platform/user_data_folder.h"
#include "platform/utf8_path.h"

namespace pl3::link {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kNamePrefix = "transfer-";
constexpr std::string_view kNameSuffix = ".log";
constexpr std::size_t kStampLength = 15;  // YYYYMMDD-HHMMSS
// Seldom reached: more transfers than this in one second would need a faster radio.
constexpr int kMaxSequence = 100;
// How long the writer lets lines gather before it puts them into the file.
constexpr auto kWriteInterval = std::chrono::milliseconds(250);

std::string timestamp(std::chrono::microseconds sinceStart) {
    const long long micros = sinceStart.count();
    char text[32];
    std::snprintf(text, sizeof text, "+%06lld.%03lld ", micros / 1000, micros % 1000);
    return text;
}

struct LogName {
    std::string stamp;
    int sequence = 1;
};

std::optional<LogName> parseLogName(std::string_view name) {
    if (!name.starts_with(kNamePrefix) || !name.ends_with(kNameSuffix)) return std::nullopt;
    name.remove_prefix(kNamePrefix.size());
    name.remove_suffix(kNameSuffix.size());
    if (name.size() < kStampLength) return std::nullopt;
    LogName parsed{std::string(name.substr(0, kStampLength))};
    for (std::size_t i = 0; i < kStampLength; ++i) {
        const bool dash = i == 8;
        if (dash ? parsed.stamp[i] != '-' : (parsed.stamp[i] < '0' || parsed.stamp[i] > '9'))
            return std::nullopt;
    }
    name.remove_prefix(kStampLength);
    if (name.empty()) return parsed;
    if (name.front() != '-') return std::nullopt;
    auto [end, error] =
        std::from_chars(name.data() + 1, name.data() + name.size(), parsed.sequence);
    if (error != std::errc() || end != name.data() + name.size()) return std::nullopt;
    return parsed;
}

std::string describeError(int errorNumber) {
    return std::error_code(errorNumber, std::generic_category()).message();
}

// The logs hold whole codeplugs: a folder made for them is its owner's alone.
void createPrivateFolder(const std::string& folder) {
    std::error_code error;
    const fs::path path = platform::utf8Path(folder);
    if (fs::exists(path, error)) return;
    fs::create_directories(path.parent_path(), error);
    if (fs::create_directory(path, error)) fs::permissions(path, fs::perms::owner_all, error);
}

// The log just made stays whatever the others' names say (a clock set back).
void removeAllButNewest(const std::string& folder, const std::string& justMade) {
    std::vector<std::string> logs = transferLogsNewestFirst(folder);
    std::erase(logs, justMade);
    for (std::size_t i = kKeptTransferLogs - 1; i < logs.size(); ++i) {
        std::error_code ignored;
        fs::remove(platform::utf8Path(logs[i]), ignored);
    }
}

}  // namespace

std::string logLine(std::chrono::microseconds sinceStart, FrameDirection direction,
                    std::span<const std::uint8_t> bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string line = timestamp(sinceStart);
    line += direction == FrameDirection::Sent ? "TX" : "RX";
    line.reserve(line.size() + bytes.size() * 3 + 1);
    for (std::uint8_t byte : bytes) {
        line += ' ';
        line += kHex[byte >> 4];
        line += kHex[byte & 0x0F];
    }
    line += '\n';
    return line;
}

std::string logEventLine(std::chrono::microseconds sinceStart, std::string_view text) {
    std::string line = timestamp(sinceStart);
    line += "-- ";
    line += text;
    line += '\n';
    return line;
}

TransferLog::TransferLog(std::FILE* file, std::string path, std::time_t started)
    : file_(file), path_(std::move(path)), start_(std::chrono::steady_clock::now()) {
    const std::tm local = platform::localTime(started);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S\n", &local);
    pending_ = std::string(kLogHeaderStart) + stamp;
    writer_ = std::thread([this] { writeOut(); });
}

TransferLog::~TransferLog() {
    if (writer_.joinable()) finish();
}

std::string TransferLog::finish() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    wake_.notify_all();
    writer_.join();
    // Closing writes what the stream still holds, so its failure counts too.
    if (std::fclose(file_) != 0 && failure_.empty()) failure_ = describeError(errno);
    file_ = nullptr;
    return failure_;
}

std::chrono::microseconds TransferLog::sinceStart() const {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 start_);
}

void TransferLog::frame(FrameDirection direction, std::span<const std::uint8_t> bytes) {
    append(logLine(sinceStart(), direction, bytes));
}

void TransferLog::event(std::string_view text) {
    append(logEventLine(sinceStart(), text));
}

void TransferLog::append(std::string line) {
    std::lock_guard lock(mutex_);
    pending_ += line;
}

void TransferLog::writeOut() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait_for(lock, kWriteInterval, [this] { return closing_; });
        std::string batch;
        batch.swap(pending_);
        const bool last = closing_;
        lock.unlock();
        // After a failed write the file has a gap: later lines would only hide it.
        if (!batch.empty() && failure_.empty() &&
            (std::fwrite(batch.data(), 1, batch.size(), file_) != batch.size() ||
             std::fflush(file_) != 0))
            failure_ = describeError(errno);
        if (last) return;
        lock.lock();
    }
}

std::string defaultLogFolder() {
    std::string base = platform::userStateFolder();
    return base.empty() ? std::string() : base + "/pl3";
}

std::string transferLogName(const std::tm& localTime, int sequence) {
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &localTime);
    std::string name = std::string(kNamePrefix) + stamp;
    if (sequence > 1) name += "-" + std::to_string(sequence);
    return name + std::string(kNameSuffix);
}

std::vector<std::string> transferLogsNewestFirst(const std::string& folder) {
    struct Found {
        LogName name;
        std::string path;
    };
    std::vector<Found> found;
    std::error_code error;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(platform::utf8Path(folder), error)) {
        std::optional<LogName> name = parseLogName(entry.path().filename().string());
        if (name && entry.is_regular_file(error)) found.push_back({*name, entry.path().string()});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return std::tie(a.name.stamp, a.name.sequence) > std::tie(b.name.stamp, b.name.sequence);
    });
    std::vector<std::string> paths;
    for (Found& log : found)
        paths.push_back(std::move(log.path));
    return paths;
}

std::unique_ptr<TransferLog> openTransferLog(const LogPlace& place, std::time_t now) {
    if (place.kind == LogPlace::Kind::Off || place.path.empty()) return nullptr;
    if (place.kind == LogPlace::Kind::File) {
        if (logFileProblem(place.path, {})) return nullptr;
        std::error_code error;
        std::FILE* file = fs::exists(fs::symlink_status(platform::utf8Path(place.path), error))
                              ? platform::rewritePrivateFile(place.path)
                              : platform::createPrivateFile(place.path);
        if (file == nullptr) return nullptr;
        return std::make_unique<TransferLog>(file, place.path, now);
    }
    createPrivateFolder(place.path);
    const std::tm local = platform::localTime(now);
    for (int sequence = 1; sequence <= kMaxSequence; ++sequence) {
        std::string path = place.path + "/" + transferLogName(local, sequence);
        // A new file only: two programs logging in the same second must not share one.
        if (std::FILE* file = platform::createPrivateFile(path)) {
            removeAllButNewest(place.path, path);
            return std::make_unique<TransferLog>(file, std::move(path), now);
        }
        if (errno != EEXIST) return nullptr;
    }
    return nullptr;
}

}  // namespace pl3::link
