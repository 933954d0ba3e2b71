#include "platform/system_locale.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pl3::platform {
namespace {

TEST(LocaleIdOf, OnlySimplifiedChineseNamesGive2052) {
    struct Case {
        std::string name;
        int expected;
    };
    const std::vector<Case> cases = {
        {"zh_CN", kLocaleSimplifiedChinese},
        {"zh_CN.UTF-8", kLocaleSimplifiedChinese},
        {"zh_CN.GB18030", kLocaleSimplifiedChinese},
        {"zh_CN.utf8@pinyin", kLocaleSimplifiedChinese},
        {"zh_SG.UTF-8", kLocaleSimplifiedChinese},
        {"zh_Hans", kLocaleSimplifiedChinese},
        {"zh_Hans_CN.UTF-8", kLocaleSimplifiedChinese},
        {"zh-CN", kLocaleSimplifiedChinese},
        {"zh", kLocaleSimplifiedChinese},
        {"zh.UTF-8", kLocaleSimplifiedChinese},
        {"zh_TW.UTF-8", kLocaleEnglishUs},
        {"zh_HK.Big5-HKSCS", kLocaleEnglishUs},
        {"zh_Hant_CN", kLocaleEnglishUs},
        {"zh_", kLocaleEnglishUs},
        {"zhx_CN", kLocaleEnglishUs},
        {"en_US.UTF-8", kLocaleEnglishUs},
        {"de_DE@euro", kLocaleEnglishUs},
        {"C", kLocaleEnglishUs},
        {"C.UTF-8", kLocaleEnglishUs},
        {"POSIX", kLocaleEnglishUs},
        {"", kLocaleEnglishUs},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(localeIdOf(c.name), c.expected) << "locale name: \"" << c.name << '"';
    }
}

// Sets or clears one environment variable for the lifetime of the object.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) saved_ = old;
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedVariable() {
        if (saved_) {
            ::setenv(name_, saved_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    const char* name_;
    std::optional<std::string> saved_;
};

TEST(SystemLocaleId, UsesTheFirstNonEmptyLocaleVariable) {
    struct Case {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        int expected;
    };
    const std::vector<Case> cases = {
        {nullptr, nullptr, nullptr, kLocaleEnglishUs},
        {nullptr, nullptr, "zh_CN.UTF-8", kLocaleSimplifiedChinese},
        {nullptr, "zh_CN.UTF-8", "en_US.UTF-8", kLocaleSimplifiedChinese},
        {nullptr, "en_US.UTF-8", "zh_CN.UTF-8", kLocaleEnglishUs},
        {"zh_SG", "en_US.UTF-8", "en_US.UTF-8", kLocaleSimplifiedChinese},
        {"C", "zh_CN.UTF-8", "zh_CN.UTF-8", kLocaleEnglishUs},
        {"", "", "zh_CN.UTF-8", kLocaleSimplifiedChinese},
        {"", "zh_TW.UTF-8", "zh_CN.UTF-8", kLocaleEnglishUs},
    };
    for (const Case& c : cases) {
        ScopedVariable lcAll("LC_ALL", c.lcAll);
        ScopedVariable lcMessages("LC_MESSAGES", c.lcMessages);
        ScopedVariable lang("LANG", c.lang);
        EXPECT_EQ(systemLocaleId(), c.expected)
            << "LC_ALL=" << (c.lcAll ? c.lcAll : "(unset)")
            << " LC_MESSAGES=" << (c.lcMessages ? c.lcMessages : "(unset)")
            << " LANG=" << (c.lang ? c.lang : "(unset)");
    }
}

}  // namespace
}  // namespace pl3::platform
