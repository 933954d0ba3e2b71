#pragma once
// setting.ini in the program folder: every key the program reads or writes, with its
// default. Each accessor asks the file again, so a change is seen at the next use.

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
    explicit SettingsFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }
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

    // "setup"/"language" read into a buffer of the given length; empty when missing.
    std::string languageName(int bufferLength = 260) const;
    bool setLanguageName(std::string_view name) const;

    // "FreqRange"/"freq%d": display text of range n; nullopt when missing.
    std::optional<std::string> freqRangeText(int n) const;
    // "FreqRange"/"data%d": the range code text of range n; nullopt when missing.
    std::optional<std::string> freqRangeData(int n) const;

    // "ports"/"%d": the device path that port number n maps to, when configured.
    std::optional<std::string> portDevice(int n) const;
    // "ports"/"defaults": 0 means only the ports listed in "ports" exist (the built-in
    // table of /dev/ttyUSB0 ... is not used); 1 when missing.
    bool portDefaultsEnabled() const;

  private:
    std::string path_;
};

// The language name with the start-up fallback: the stored name, or "chinese" on a
// Simplified Chinese system and "english" elsewhere.
std::string effectiveLanguageName(const SettingsFile& settings, int systemLocaleId);

}  // namespace pl3
