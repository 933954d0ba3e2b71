#pragma once
// setting.ini: every key the program reads or writes, with its default. Each accessor asks
// the file again, so a change is seen at the next use.
//
// A portable program folder reads and writes its own setting.ini. An installed one is
// read-only: the shipped file gives the defaults, a per-user file (created on the first
// write) holds what the programs write, and each key is read from the per-user file when
// it has it, else from the shipped one.

#include <optional>
#include <string>
#include <string_view>

namespace pl3 {

namespace settings_key {
inline constexpr std::string_view kSetupSection = "setup";
inline constexpr std::string_view kCom = "com";
inline constexpr std::string_view kSearchCom = "searchcom";
inline constexpr std::string_view kLanguage = "language";
inline constexpr std::string_view kVerify = "verify";
inline constexpr std::string_view kKeepTuning = "keeptuning";
inline constexpr std::string_view kLogCommunication = "logcomm";
inline constexpr std::string_view kFreqRangeSection = "FreqRange";
inline constexpr std::string_view kFreqTextFormat = "freq%d";
inline constexpr std::string_view kFreqDataFormat = "data%d";
inline constexpr std::string_view kPortsSection = "ports";
inline constexpr std::string_view kPortDefaults = "defaults";
}  // namespace settings_key

inline constexpr std::string_view kSettingsFileName = "setting.ini";
// Shown when setting.ini is missing; no language file is loaded yet, so it is fixed.
inline constexpr std::string_view kMissingSettingsMessage = "Can not find the file setting.ini!";
inline constexpr int kMaxFreqRanges = 16;

class SettingsFile {
  public:
    // Portable: reads and writes path.
    explicit SettingsFile(std::string path) : path_(path), shippedPath_(std::move(path)) {}
    // Installed: reads userPath key by key over shippedPath, writes userPath only. An
    // empty userPath (no home folder) makes every write fail rather than touch the
    // shipped file.
    SettingsFile(std::string shippedPath, std::string userPath)
        : path_(std::move(userPath)), shippedPath_(std::move(shippedPath)), layered_(true) {}

    // The file writes go to: the one file of a portable folder, else the per-user file.
    const std::string& path() const { return path_; }
    // The file that ships with the program (the same as path() when portable).
    const std::string& shippedPath() const { return shippedPath_; }
    bool hasUserFile() const { return layered_; }
    // Whether the shipped file is there: the program does not run without it.
    bool exists() const;

    // "setup"/"com": the serial port number, 1 when missing.
    int comPort() const;
    bool setComPort(int port) const;

    // "setup"/"searchcom" as the radio jobs read it: the search is off only when the
    // value starts with "0".
    bool portSearchEnabled() const;
    // The same key as the communication-port dialog reads it: an integer, 1 when missing.
    int portSearchFlag() const;

    // "setup"/"verify": read the radio back after each write; off unless the value is a
    // nonzero integer.
    bool verifyAfterWrite() const;
    bool setVerifyAfterWrite(bool verify) const;

    // "setup"/"keeptuning": a write keeps the radio's own tuning values; on unless the
    // value is the integer 0.
    bool keepRadioTuning() const;
    bool setKeepRadioTuning(bool keep) const;
    // "setup"/"logcomm": keep a log of each conversation with the radio; off unless the
    // value is a nonzero integer.
    bool logCommunication() const;
    bool setLogCommunication(bool log) const;

    // "setup"/"language" read into a buffer of the given length; empty when missing.
    std::string languageName(int bufferLength = 260) const;
    bool setLanguageName(std::string_view name) const;

    // The file that answers section/key: the per-user one when it holds the key.
    const std::string& sourceOf(std::string_view section, std::string_view key) const;
    // The file that answers "FreqRange"/"data%d" of range n.
    const std::string& freqRangeDataSource(int n) const;

    // "FreqRange"/"freq%d": display text of range n; nullopt when missing.
    std::optional<std::string> freqRangeText(int n) const;
    // "FreqRange"/"data%d": the range code text of range n; nullopt when missing.
    std::optional<std::string> freqRangeData(int n) const;

    // "ports"/"%d": the device path that port number n maps to, when configured.
    std::optional<std::string> portDevice(int n) const;
    bool setPortDevice(int n, std::string_view path) const;
    // "ports"/"defaults": 0 means only the ports listed in "ports" exist (the built-in
    // table of /dev/ttyUSB0 ... is not used); 1 when missing.
    bool portDefaultsEnabled() const;

  private:
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue, int bufferLength) const;
    int readInt(std::string_view section, std::string_view key, int defaultValue) const;
    // An unreadable or garbled per-user file is passed over: the shipped values stand.
    bool userFileIsText() const;
    bool write(std::string_view section, std::string_view key, std::string_view value) const;

    std::string path_;
    std::string shippedPath_;
    bool layered_ = false;
};

// The language name with the start-up fallback: the stored name, or "chinese" on a
// Simplified Chinese system and "english" elsewhere.
std::string effectiveLanguageName(const SettingsFile& settings, int systemLocaleId);

}  // namespace pl3
