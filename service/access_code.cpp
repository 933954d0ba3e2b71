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

bool manualTuning(const CMaItemDoc& doc) {
    return doc.fields().setting(Setting::ManualTune) != 0;
}

void setManualTuning(CMaItemDoc& doc, bool on) {
    doc.rawFields().setSetting(Setting::ManualTune, on ? 1 : 0);
}

}  // namespace pl3::service
