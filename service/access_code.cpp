#include "service/access_code.h"

#include <string>

namespace pl3::service {

AccessLevel accessLevelOf(std::string_view code) {
    if (code == kFullAccessCode) return AccessLevel::Full;
    if (code == kPartialAccessCode) return AccessLevel::Partial;
    return AccessLevel::None;
}

bool enterAccessCode(CMaItemDoc& doc, std::string_view typed) {
    doc.setAccessCode(std::string(typed));
    return accessLevelOf(typed) != AccessLevel::None;
}

}  // namespace pl3::service
