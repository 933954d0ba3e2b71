#include "platform/settings_file.h"

#include <sys/stat.h>

#include <string>

#include "platform/private_profile.h"
#include "platform/system_locale.h"

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
    struct stat info {};
    return ::stat(path_.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

int SettingsFile::comPort() const {
    return platform::readInt(path_, kSetupSection, kCom, 1);
}

bool SettingsFile::setComPort(int port) const {
    return platform::writeString(path_, kSetupSection, kCom, std::to_string(port));
}

bool SettingsFile::portSearchEnabled() const {
    std::string value = platform::readString(path_, kSetupSection, kSearchCom, "1", 8);
    return value.empty() || value[0] != '0';
}

int SettingsFile::portSearchFlag() const {
    return platform::readInt(path_, kSetupSection, kSearchCom, 1);
}

bool SettingsFile::verifyAfterWrite() const {
    return platform::readInt(path_, kSetupSection, kVerify, 0) != 0;
}

bool SettingsFile::setVerifyAfterWrite(bool verify) const {
    return platform::writeString(path_, kSetupSection, kVerify, verify ? "1" : "0");
}

std::string SettingsFile::languageName(int bufferLength) const {
    return platform::readString(path_, kSetupSection, kLanguage, "", bufferLength);
}

bool SettingsFile::setLanguageName(std::string_view name) const {
    return platform::writeString(path_, kSetupSection, kLanguage, name);
}

std::optional<std::string> SettingsFile::freqRangeText(int n) const {
    return nonEmpty(
        platform::readString(path_, kFreqRangeSection, indexedKey(kFreqTextFormat, n), "", 30));
}

std::optional<std::string> SettingsFile::freqRangeData(int n) const {
    return nonEmpty(
        platform::readString(path_, kFreqRangeSection, indexedKey(kFreqDataFormat, n), "", 60));
}

std::optional<std::string> SettingsFile::portDevice(int n) const {
    return nonEmpty(platform::readString(path_, kPortsSection, std::to_string(n), "", 4096));
}

bool SettingsFile::portDefaultsEnabled() const {
    return platform::readInt(path_, kPortsSection, kPortDefaults, 1) != 0;
}

std::string effectiveLanguageName(const SettingsFile& settings, int systemLocaleId) {
    std::string name = settings.languageName();
    if (!name.empty()) return name;
    return systemLocaleId == platform::kLocaleSimplifiedChinese ? "chinese" : "english";
}

}  // namespace pl3
