#include "editors/setting_items.h"

#include "codeplug/frequency.h"
#include "codeplug/text_keys.h"

namespace pl3 {

namespace {

std::string numberText(const SettingInfo& info, int index, const TextLookup& texts) {
    switch (info.kind) {
        case ValueKind::OnOff:
            return texts.text(index ? text_key::kOn : text_key::kOff);
        case ValueKind::Number:
        case ValueKind::Channel:
            return std::to_string(index);
        case ValueKind::NumberOrOff:
            return index == 0 ? texts.text(text_key::kOff) : std::to_string(index);
        case ValueKind::Seconds30:
            return index == 0 ? texts.text(text_key::kOff) : std::to_string(index * 30);
        case ValueKind::Tenths: {
            int tenths = index + 3;
            return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
        }
        case ValueKind::Plus1:
            return std::to_string(index + 1);
        case ValueKind::Plus5:
            return std::to_string(index + 5);
        case ValueKind::Times100:
            return std::to_string(index * 100);
        case ValueKind::Plus1Times100:
            return std::to_string((index + 1) * 100);
        case ValueKind::FmFrequency:
            return frequency::fmText(index);
        case ValueKind::Choice:
            break;
    }
    return {};
}

}  // namespace

std::vector<std::string> settingItems(Setting id, const TextLookup& texts) {
    const SettingInfo& info = settingInfo(id);
    if (info.kind == ValueKind::Choice) {
        std::vector<std::string> items = texts.listItems(info.listSection);
        if (items.size() > static_cast<std::size_t>(info.indexMax + 1)) {
            items.resize(static_cast<std::size_t>(info.indexMax + 1));
        }
        return items;
    }
    std::vector<std::string> items;
    for (int index = info.indexMin; index <= info.indexMax; ++index) {
        items.push_back(numberText(info, index, texts));
    }
    return items;
}

std::string settingValueText(Setting id, int index, const TextLookup& texts) {
    const SettingInfo& info = settingInfo(id);
    if (index < info.indexMin || index > info.indexMax) return {};
    if (info.kind == ValueKind::Choice) {
        std::vector<std::string> items = texts.listItems(info.listSection);
        return index < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(index)]
                                                      : std::string();
    }
    return numberText(info, index, texts);
}

}  // namespace pl3
