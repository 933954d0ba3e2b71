#include "platform/system_locale.h"

#include <cstdlib>

namespace pl3::platform {

int systemLocaleId() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return localeIdOf(value);
    }
    return kLocaleEnglishUs;
}

}  // namespace pl3::platform
