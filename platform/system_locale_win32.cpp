#include "platform/system_locale.h"

#include <windows.h>

namespace pl3::platform {

int systemLocaleId() {
    // Chinese (PRC) and Chinese (Singapore) write Simplified Chinese, as zh_CN and zh_SG do.
    switch (LANGIDFROMLCID(::GetUserDefaultLCID())) {
        case MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED):
        case MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SINGAPORE):
            return kLocaleSimplifiedChinese;
        default:
            return kLocaleEnglishUs;
    }
}

}  // namespace pl3::platform
