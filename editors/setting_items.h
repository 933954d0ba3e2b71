#pragma once
// The texts a setting's list shows, in index order: items of its language section, or
// numbers formatted the way the pages show them, with the "IDS_OFF" text where index 0
// means off.

#include <string>
#include <vector>

#include "codeplug/radio_settings.h"
#include "lang/text_lookup.h"

namespace pl3 {

// Texts for the indexes indexMin ... indexMax of the setting (fewer for a language
// section that has fewer items).
std::vector<std::string> settingItems(Setting id, const TextLookup& texts);

// The text for one index; empty when the list has no such item.
std::string settingValueText(Setting id, int index, const TextLookup& texts);

}  // namespace pl3
