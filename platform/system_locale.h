#pragma once

#include <string_view>

namespace pl3::platform {

inline constexpr int kLocaleSimplifiedChinese = 2052;
inline constexpr int kLocaleEnglishUs = 1033;

// 2052 when the system locale is Simplified Chinese (zh_CN, zh_SG, zh_Hans...), else 1033.
// Linux: the locale is the first non-empty of LC_ALL, LC_MESSAGES and LANG; Windows: the
// user's default locale identifier (2052 Chinese (PRC), 4100 Chinese (Singapore)).
int systemLocaleId();

// The same rule applied to one POSIX locale name such as "zh_CN.UTF-8": 2052 for plain
// "zh" and for "zh" followed by CN, SG or Hans (any codeset or modifier), else 1033.
int localeIdOf(std::string_view posixLocaleName);

}  // namespace pl3::platform
