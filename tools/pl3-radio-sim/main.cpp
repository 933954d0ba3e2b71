// pl3-radio-sim: a PL-3 radio on a pseudo-terminal for trying the program without
// hardware. Prints the device path, answers until SIGINT or SIGTERM, then saves.

#include <signal.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/data_file.h"
#include "platform/build_version.h"
#include "sim/radio_simulator.h"

namespace {

constexpr int kExitBadOptions = 1;
constexpr int kExitFailure = 2;

constexpr const char* kUsage =
    "Usage: pl3-radio-sim [OPTION]...\n"
    "Plays a PL-3 radio on a pseudo-terminal. Prints the device path on the first line\n"
    "of standard output and answers until SIGINT or SIGTERM.\n"
    "\n"
    "  --memory FILE.PL-3     start with the image of this data file (default: a new radio)\n"
    "  --save FILE.PL-3       write the memory as a data file at exit and on SIGUSR1\n"
    "                         (prints \"saved FILE\" after each SIGUSR1 save)\n"
    "  --link PATH            also make PATH a symbolic link to the device (removed at exit)\n"
    "  --log FILE             append every frame received as a line of hex bytes\n"
    "  --pace                 take the wire time of 38400 baud 8N1 for every byte\n"
    "  --usb-latency MS       hold every reply back MS milliseconds\n"
    "  --squelch CHAR         answer to the squelch query (default H, open)\n"
    "  --version MAJOR.MINOR  answer to the version query (default 1.2)\n"
    "  --tuning HEX           the radio's own 16 tuning bytes at 0x08E0, as 32 hex digits\n"
    "                         (over those of --memory or of a new radio)\n"
    "  --version              (without a value) print this program's version and exit\n"
    "Faults (K is a block number, address / 16, 0 ... 255):\n"
    "  --never-wake           never acknowledge PROGRAM\n"
    "  --wake-at K            acknowledge only the K-th PROGRAM since the last handshake\n"
    "  --wrong-id-byte N      flip byte N (0 ... 7) of the identification\n"
    "  --short-id             send 7 identification bytes instead of 8\n"
    "  --refuse-challenge     refuse even a right challenge response\n"
    "  --no-version           ignore the version query\n"
    "  --short-reply-at K     read of block K: send only 10 of the 20 bytes\n"
    "  --wrong-address-at K   read of block K: echo another address\n"
    "  --noisy-reply-at K     read of block K: the right header, random data every time\n"
    "  --no-ack-at K          write of block K: no acknowledgement\n"
    "  --wrong-ack-at K       write of block K: answer 0x15\n"
    "  --corrupt-block K      write of block K: acknowledge, store one byte altered\n"
    "  --hang-up-at K         close the line when block K is read or written\n"
    "  --no-test-data-ack     tuning-data write: no acknowledgement, store nothing\n"
    "  --silent-tuning        answer neither live tuning nor the squelch query\n"
    "  --delay MS             wait MS milliseconds before every reply\n"
    "  --help                 show this text\n";

struct ProgramOptions {
    pl3::sim::Options radio;
    std::string memoryPath;
    std::string savePath;
    std::string linkPath;
    std::string logPath;
    bool help = false;
    bool printVersion = false;
};

std::optional<int> parseInt(std::string_view text, int lowest, int highest) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    if (value < lowest || value > highest) return std::nullopt;
    return value;
}

// 32 hexadecimal digits, two a byte.
std::optional<pl3::TuningBlock> parseTuning(std::string_view text) {
    pl3::TuningBlock tuning{};
    if (text.size() != 2 * tuning.size()) return std::nullopt;
    for (std::size_t n = 0; n < tuning.size(); ++n) {
        const char* first = text.data() + 2 * n;
        auto [end, error] = std::from_chars(first, first + 2, tuning[n], 16);
        if (error != std::errc() || end != first + 2) return std::nullopt;
    }
    return tuning;
}

// Fills options from argv; an empty result means success, otherwise the complaint.
std::string parseArguments(int argc, char** argv, ProgramOptions& options) {
    pl3::sim::Faults& faults = options.radio.faults;
    constexpr int kMaxBlock = static_cast<int>(pl3::kImageSize / 16) - 1;
    constexpr int kMaxMs = 600000;
    struct IntOption {
        std::string_view name;
        int* target;
        int lowest;
        int highest;
    };
    const IntOption intOptions[] = {
        {"--usb-latency", &options.radio.usbLatencyMs, 0, kMaxMs},
        {"--wake-at", &faults.wakeAtAttempt, 1, 1000000},
        {"--wrong-id-byte", &faults.wrongIdentificationByte, 0, 7},
        {"--short-reply-at", &faults.shortReplyAtBlock, 0, kMaxBlock},
        {"--wrong-address-at", &faults.wrongAddressAtBlock, 0, kMaxBlock},
        {"--noisy-reply-at", &faults.noisyReplyAtBlock, 0, kMaxBlock},
        {"--no-ack-at", &faults.noAckAtBlock, 0, kMaxBlock},
        {"--wrong-ack-at", &faults.wrongAckAtBlock, 0, kMaxBlock},
        {"--corrupt-block", &faults.corruptStoredBlock, 0, kMaxBlock},
        {"--hang-up-at", &faults.hangUpAtBlock, 0, kMaxBlock},
        {"--delay", &faults.extraDelayMs, 0, kMaxMs},
    };
    const struct {
        std::string_view name;
        bool* target;
    } flagOptions[] = {
        {"--pace", &options.radio.pace},
        {"--never-wake", &faults.neverWake},
        {"--short-id", &faults.shortIdentification},
        {"--refuse-challenge", &faults.refuseChallenge},
        {"--no-version", &faults.noVersion},
        {"--no-test-data-ack", &faults.noTestDataAck},
        {"--silent-tuning", &faults.silentLiveTuning},
        {"--help", &options.help},
    };
    const struct {
        std::string_view name;
        std::string* target;
    } pathOptions[] = {
        {"--memory", &options.memoryPath},
        {"--save", &options.savePath},
        {"--link", &options.linkPath},
        {"--log", &options.logPath},
    };

    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        std::optional<std::string_view> attached;  // --name=value
        if (std::size_t equals = arg.find('='); arg.starts_with("--") && equals != arg.npos) {
            attached = arg.substr(equals + 1);
            arg = arg.substr(0, equals);
        }
        auto value = [&]() -> std::optional<std::string_view> {
            if (attached) return attached;
            if (i + 1 < argc) return std::string_view(argv[++i]);
            return std::nullopt;
        };
        bool known = false;
        for (const auto& flag : flagOptions) {
            if (arg != flag.name) continue;
            if (attached) return std::string(arg) + " takes no value";
            *flag.target = true;
            known = true;
        }
        for (const IntOption& option : intOptions) {
            if (arg != option.name) continue;
            std::optional<std::string_view> text = value();
            if (!text) return std::string(arg) + " needs a value";
            std::optional<int> number = parseInt(*text, option.lowest, option.highest);
            if (!number) {
                return std::string(arg) + ": \"" + std::string(*text) + "\" is not a number from " +
                       std::to_string(option.lowest) + " to " + std::to_string(option.highest);
            }
            *option.target = *number;
            known = true;
        }
        for (const auto& option : pathOptions) {
            if (arg != option.name) continue;
            std::optional<std::string_view> text = value();
            if (!text || text->empty()) return std::string(arg) + " needs a file name";
            *option.target = std::string(*text);
            known = true;
        }
        if (arg == "--tuning") {
            std::optional<std::string_view> text = value();
            options.radio.tuning = text ? parseTuning(*text) : std::nullopt;
            if (!options.radio.tuning) return "--tuning needs 32 hexadecimal digits";
            known = true;
        } else if (arg == "--squelch") {
            std::optional<std::string_view> text = value();
            if (!text || text->size() != 1) return "--squelch needs one character";
            options.radio.squelchAnswer = static_cast<std::uint8_t>(text->front());
            known = true;
        } else if (arg == "--version" && !attached &&
                   (i + 1 >= argc || std::string_view(argv[i + 1]).starts_with("-"))) {
            // Without MAJOR.MINOR it asks for this program's own version.
            options.printVersion = true;
            known = true;
        } else if (arg == "--version") {
            std::optional<std::string_view> text = value();
            std::size_t dot = text ? text->find('.') : std::string_view::npos;
            std::optional<int> major, minor;
            if (dot != std::string_view::npos) {
                major = parseInt(text->substr(0, dot), 0, 255);
                minor = parseInt(text->substr(dot + 1), 0, 255);
            }
            if (!major || !minor) return "--version needs MAJOR.MINOR, each 0 ... 255";
            options.radio.version = {static_cast<std::uint8_t>(*major),
                                     static_cast<std::uint8_t>(*minor)};
            known = true;
        }
        if (!known) return "unknown option \"" + std::string(argv[i]) + "\"";
    }
    return {};
}

bool save(const std::string& path, const pl3::Header& header, const pl3::Image& image) {
    pl3::platform::FileError error;
    if (pl3::data_file::write(path, header, image, &error)) return true;
    std::fprintf(stderr, "pl3-radio-sim: cannot save %s: %s\n", path.c_str(),
                 error.describe().c_str());
    return false;
}

// Only a link that still points at our device is ours to remove.
void removeLink(const std::string& linkPath, const std::string& device) {
    std::vector<char> target(device.size() + 2);
    ssize_t length = readlink(linkPath.c_str(), target.data(), target.size());
    if (length >= 0 &&
        std::string_view(target.data(), static_cast<std::size_t>(length)) == device) {
        unlink(linkPath.c_str());
    }
}

bool makeLink(const std::string& linkPath, const std::string& device) {
    struct stat status {};
    // A link left behind by a run that was killed is replaced; anything else is kept.
    if (lstat(linkPath.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
        unlink(linkPath.c_str());
    }
    if (symlink(device.c_str(), linkPath.c_str()) == 0) return true;
    std::fprintf(stderr, "pl3-radio-sim: cannot create the link %s: %s\n", linkPath.c_str(),
                 std::strerror(errno));
    return false;
}

std::string hexLine(const pl3::sim::Frame& frame) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string line;
    for (std::uint8_t byte : frame.bytes) {
        if (!line.empty()) line += ' ';
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0x0F];
    }
    line += '\n';
    return line;
}

int run(ProgramOptions& options) {
    pl3::Header header{};
    pl3::data_file::writeMagic(header);
    std::optional<pl3::Image> memory;
    if (!options.memoryPath.empty()) {
        pl3::Image image;
        image.fill(pl3::kErased);
        pl3::data_file::ReadResult read = pl3::data_file::read(options.memoryPath, header, image);
        const char* problem = nullptr;
        switch (read.status) {
            case pl3::data_file::ReadStatus::Complete:
                break;
            case pl3::data_file::ReadStatus::Incomplete:
                problem = "the data file ends early";
                break;
            case pl3::data_file::ReadStatus::WrongMagic:
                problem = "not a PL-3 data file";
                break;
            case pl3::data_file::ReadStatus::FileError:
                std::fprintf(stderr, "pl3-radio-sim: cannot read %s: %s\n",
                             options.memoryPath.c_str(), read.error.describe().c_str());
                return kExitFailure;
        }
        if (problem != nullptr) {
            std::fprintf(stderr, "pl3-radio-sim: %s: %s\n", options.memoryPath.c_str(), problem);
            return kExitFailure;
        }
        memory = image;
    }

    std::FILE* log = nullptr;
    if (!options.logPath.empty()) {
        log = std::fopen(options.logPath.c_str(), "a");
        if (log == nullptr) {
            std::fprintf(stderr, "pl3-radio-sim: cannot open the log %s: %s\n",
                         options.logPath.c_str(), std::strerror(errno));
            return kExitFailure;
        }
        options.radio.onFrame = [log](const pl3::sim::Frame& frame) {
            std::fputs(hexLine(frame).c_str(), log);
            std::fflush(log);
        };
    }

    // Blocked before the simulator's thread exists, so that it inherits the mask and the
    // signals reach only the signalfd below.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    // A reader that went away must not cost the save at exit.
    signal(SIGPIPE, SIG_IGN);
    int signalFd = signalfd(-1, &signals, SFD_CLOEXEC);
    if (signalFd < 0) {
        std::fprintf(stderr, "pl3-radio-sim: signalfd: %s\n", std::strerror(errno));
        if (log != nullptr) std::fclose(log);
        return kExitFailure;
    }

    int exitCode = 0;
    {
        pl3::sim::RadioSimulator radio(options.radio, memory);
        if (!radio.start()) {
            std::fprintf(stderr, "pl3-radio-sim: cannot create a pseudo-terminal: %s\n",
                         std::strerror(errno));
            exitCode = kExitFailure;
        } else if (!options.linkPath.empty() && !makeLink(options.linkPath, radio.devicePath())) {
            exitCode = kExitFailure;
        } else {
            std::printf("%s\n", radio.devicePath().c_str());
            std::fflush(stdout);
            while (true) {
                signalfd_siginfo info{};
                ssize_t got = read(signalFd, &info, sizeof info);
                if (got < 0 && errno == EINTR) continue;
                if (got != static_cast<ssize_t>(sizeof info)) {
                    std::fprintf(stderr, "pl3-radio-sim: signalfd: %s\n", std::strerror(errno));
                    break;
                }
                if (info.ssi_signo != SIGUSR1) break;
                if (!options.savePath.empty() && save(options.savePath, header, radio.memory())) {
                    std::printf("saved %s\n", options.savePath.c_str());
                    std::fflush(stdout);
                }
            }
            radio.stop();
            if (!options.savePath.empty() && !save(options.savePath, header, radio.memory())) {
                exitCode = kExitFailure;
            }
            if (!options.linkPath.empty()) removeLink(options.linkPath, radio.devicePath());
        }
    }
    close(signalFd);
    if (log != nullptr) std::fclose(log);
    return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    ProgramOptions options;
    std::string complaint = parseArguments(argc, argv, options);
    if (!complaint.empty()) {
        std::fprintf(stderr, "pl3-radio-sim: %s\nTry pl3-radio-sim --help.\n", complaint.c_str());
        return kExitBadOptions;
    }
    if (options.printVersion) {
        std::printf("pl3-radio-sim %.*s\n", static_cast<int>(pl3::kVersionText.size()),
                    pl3::kVersionText.data());
        return 0;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    return run(options);
}
