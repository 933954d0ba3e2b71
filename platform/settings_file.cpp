#include "platform/settings_file.h"

#include <filesystem>
#include <string>

#include "platform/file_status.h"
#include "platform/private_profile.h"
#include "platform/system_locale.h"
#include "platform/utf8_path.h"

namespace pl3 {

namespace {

using namespace settings_key;

std::string indexedKey(std::string_view format, int n) {
    std::string key(format.substr(0, format.find("%d")));
    return key + std::to_string(n);
}

std::optional<std::string> nonEmpty(std::string value) {
    if (value.empty()) return std::nullopt;
    return value;
}

}  // namespace

bool SettingsFile::exists() const {
    return platform::isRegularFile(shippedPath_);
}

std::string SettingsFile::readString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue, int bufferLength) const {
    return platform::readString(sourceOf(section, key), section, key, defaultValue, bufferLength);
}

int SettingsFile::readInt(std::string_view section, std::string_view key, int defaultValue) const {
    return platform::readInt(sourceOf(section, key), section, key, defaultValue);
}

const std::string& SettingsFile::sourceOf(std::string_view section, std::string_view key) const {
    if (layered_ && userFileIsText() && platform::findString(path_, section, key)) return path_;
    return shippedPath_;
}

bool SettingsFile::userFileIsText() const {
    return !path_.empty() && platform::inspectProfile(path_) == platform::ProfileContent::Text;
}

bool SettingsFile::write(std::string_view section, std::string_view key,
                         std::string_view value) const {
    if (path_.empty()) return false;
    if (layered_) {
        // A per-user file the readers ignore is left as it is for the user to look at.
        std::error_code missing;
        if (std::filesystem::exists(platform::utf8Path(path_), missing) && !userFileIsText())
            return false;
        // The per-user folder is made on the first write; a failure shows in the write.
        std::error_code ignored;
        std::filesystem::create_directories(platform::utf8Path(path_).parent_path(), ignored);
    }
    return platform::writeString(path_, section, key, value);
}

int SettingsFile::comPort() const {
    return readInt(kSetupSection, kCom, 1);
}

bool SettingsFile::setComPort(int port) const {
    return write(kSetupSection, kCom, std::to_string(port));
}

bool SettingsFile::portSearchEnabled() const {
    std::string value = readString(kSetupSection, kSearchCom, "1", 8);
    return value.empty() || value[0] != '0';
}

int SettingsFile::portSearchFlag() const {
    return readInt(kSetupSection, kSearchCom, 1);
}

bool SettingsFile::verifyAfterWrite() const {
    return readInt(kSetupSection, kVerify, 0) != 0;
}

bool SettingsFile::setVerifyAfterWrite(bool verify) const {
    return write(kSetupSection, kVerify, verify ? "1" : "0");
}

bool SettingsFile::keepRadioTuning() const {
    return readInt(kSetupSection, kKeepTuning, 1) != 0;
}

bool SettingsFile::setKeepRadioTuning(bool keep) const {
    return write(kSetupSection, kKeepTuning, keep ? "1" : "0");
}

bool SettingsFile::logCommunication() const {
    return readInt(kSetupSection, kLogCommunication, 0) != 0;
}

bool SettingsFile::setLogCommunication(bool log) const {
    return write(kSetupSection, kLogCommunication, log ? "1" : "0");
}

std::string SettingsFile::languageName(int bufferLength) const {
    return readString(kSetupSection, kLanguage, "", bufferLength);
}

bool SettingsFile::setLanguageName(std::string_view name) const {
    return write(kSetupSection, kLanguage, name);
}

std::optional<std::string> SettingsFile::freqRangeText(int n) const {
    return nonEmpty(readString(kFreqRangeSection, indexedKey(kFreqTextFormat, n), "", 30));
}

std::optional<std::string> SettingsFile::freqRangeData(int n) const {
    return nonEmpty(readString(kFreqRangeSection, indexedKey(kFreqDataFormat, n), "", 60));
}

const std::string& SettingsFile::freqRangeDataSource(int n) const {
    return sourceOf(kFreqRangeSection, indexedKey(kFreqDataFormat, n));
}

std::optional<std::string> SettingsFile::portDevice(int n) const {
    return nonEmpty(readString(kPortsSection, std::to_string(n), "", 4096));
}

bool SettingsFile::setPortDevice(int n, std::string_view path) const {
    return write(kPortsSection, std::to_string(n), path);
}

bool SettingsFile::portDefaultsEnabled() const {
    return readInt(kPortsSection, kPortDefaults, 1) != 0;
}

std::string effectiveLanguageName(const SettingsFile& settings, int systemLocaleId) {
    std::string name = settings.languageName();
    if (!name.empty()) return name;
    return systemLocaleId == platform::kLocaleSimplifiedChinese ? "chinese" : "english";
}

}  // namespace pl3
