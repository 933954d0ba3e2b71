#include "editors/page_rules.h"

#include "codeplug/text_keys.h"
#include "editors/setting_items.h"

namespace pl3::page_rules {

int shownIndex(const ImageFields& fields, const TextLookup& texts, Setting id) {
    int index = fields.setting(id);
    int count = static_cast<int>(settingItems(id, texts).size());
    return index >= 0 && index < count ? index : -1;
}

std::string shownItemText(const ImageFields& fields, const TextLookup& texts, Setting id) {
    int index = shownIndex(fields, texts, id);
    return index < 0 ? std::string() : settingValueText(id, index, texts);
}

void storeSetting(EditTarget target, Setting id, int index) {
    const Image before = target.fields.image();
    target.fields.setSetting(id, index);
    // Picking the item a list already shows changes no byte and leaves nothing to save.
    if (target.fields.image() != before) target.sink.recordEdit();
}

bool storeIndex(EditTarget target, const TextLookup& texts, Setting id, int index) {
    int count = static_cast<int>(settingItems(id, texts).size());
    if (index < 0 || index >= count) return false;
    storeSetting(target, id, index);
    return true;
}

bool isTicked(const ImageFields& fields, Setting id) {
    return fields.setting(id) != 0;
}

void storeTicked(EditTarget target, Setting id, bool on) {
    storeSetting(target, id, on ? 1 : 0);
}

std::string printEntry(std::string_view caption, std::string_view value) {
    std::string entry(caption);
    entry += " : ";
    entry += value;
    return entry;
}

std::string yesNoText(const TextLookup& texts, bool ticked) {
    return texts.text(ticked ? text_key::kYes : text_key::kNo);
}

std::string captionText(const TextLookup& texts, std::span<const Caption> captions, int controlId) {
    for (const Caption& caption : captions) {
        if (caption.controlId != controlId) continue;
        return texts.resourceCaption(caption.captionId).value_or(std::string(caption.builtIn));
    }
    return {};
}

}  // namespace pl3::page_rules
