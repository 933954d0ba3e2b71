#include "platform/system_locale.h"

namespace pl3::platform {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The parts of "language[_territory][.codeset][@modifier]"; a '-' as in "zh-CN" or
// "zh_Hans_CN" separates parts as well.
std::string_view partBefore(std::string_view text, std::string_view separators) {
    return text.substr(0, text.find_first_of(separators));
}

}  // namespace

int localeIdOf(std::string_view posixLocaleName) {
    std::string_view name = partBefore(posixLocaleName, ".@");
    std::string_view language = partBefore(name, "_-");
    if (!equalsIgnoringCase(language, "zh")) return kLocaleEnglishUs;
    if (language.size() == name.size()) return kLocaleSimplifiedChinese;  // plain "zh"

    // Only the script or territory directly after the language decides: "zh_Hans_HK"
    // is Simplified, "zh_Hant_CN" is not.
    std::string_view qualifier = partBefore(name.substr(language.size() + 1), "_-");
    if (equalsIgnoringCase(qualifier, "CN") || equalsIgnoringCase(qualifier, "SG") ||
        equalsIgnoringCase(qualifier, "Hans")) {
        return kLocaleSimplifiedChinese;
    }
    return kLocaleEnglishUs;
}

}  // namespace pl3::platform
