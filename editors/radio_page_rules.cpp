#include "editors/radio_page_rules.h"

#include <charconv>
#include <stdexcept>

#include "codeplug/frequency.h"
#include "codeplug/text_keys.h"
#include "editors/setting_items.h"

namespace pl3 {

namespace {

using Rules = RadioPageRules;

struct Binding {
    int id;
    Setting setting;
};

constexpr Binding kLists[] = {
    {Rules::kSideKey1ShortList, Setting::SideKey1Short},
    {Rules::kSideKey1LongList, Setting::SideKey1Long},
    {Rules::kSideKey2ShortList, Setting::SideKey2Short},
    {Rules::kSideKey2LongList, Setting::SideKey2Long},
    {Rules::kRadioModeList, Setting::RadioMode},
    {Rules::kFmVfoList, Setting::FmVfoFreq},
};

constexpr Binding kBoxes[] = {
    {Rules::kFmRadioEnableBox, Setting::FmRadioEnable},
    {Rules::kFmRadioBox, Setting::FmRadio},
    {Rules::kFmMonitorBox, Setting::FmMonitor},
};

// The controls that make no sense while the FM radio is switched off.
constexpr int kFmDependent[] = {Rules::kFmRadioBox, Rules::kFmMonitorBox, Rules::kRadioModeList,
                                Rules::kFmVfoList};

const Binding* find(std::span<const Binding> bindings, int id) {
    for (const Binding& b : bindings) {
        if (b.id == id) return &b;
    }
    return nullptr;
}

[[noreturn]] void noSuchControl(int id) {
    throw std::invalid_argument("no such control on the radio page: " + std::to_string(id));
}

std::string scanItemText(int channel) {
    return std::string(Rules::kScanItemPrefix) + std::to_string(channel);
}

// The channel an item text names, or 0; the lists are written by this page, so the
// prefix is skipped without looking at it.
int channelOfItem(std::string_view item) {
    if (item.size() <= Rules::kScanItemPrefix.size()) return 0;
    item.remove_prefix(Rules::kScanItemPrefix.size());
    int channel = 0;
    std::from_chars(item.data(), item.data() + item.size(), channel);
    return channel >= 1 && channel <= kChannelCount ? channel : 0;
}

constexpr page_rules::Caption kCaptions[] = {
    {Rules::kSideKey1ShortList, Rules::kSideKey1ShortLabel, "侧键1短按"},
    {Rules::kSideKey1LongList, Rules::kSideKey1LongLabel, "侧键1长按"},
    {Rules::kSideKey2ShortList, Rules::kSideKey2ShortLabel, "侧键2短按"},
    {Rules::kSideKey2LongList, Rules::kSideKey2LongLabel, "侧键2长按"},
    {Rules::kMessageBox, Rules::kMessageLabel, "开机信息"},
    {Rules::kPasswordBox, Rules::kPasswordLabel, "开机密码"},
    {Rules::kRadioModeList, Rules::kRadioModeLabel, "收音机模式"},
    {Rules::kFmVfoList, Rules::kFmVfoLabel, "收音机频率"},
    {Rules::kFmRadioEnableBox, Rules::kFmRadioEnableBox, "收音机功能"},
    {Rules::kFmRadioBox, Rules::kFmRadioBox, "收音机"},
    {Rules::kFmMonitorBox, Rules::kFmMonitorBox, "收音机监听接收信号"},
};

}  // namespace

Setting RadioPageRules::listSetting(int listId) {
    const Binding* b = find(kLists, listId);
    if (b == nullptr) noSuchControl(listId);
    return b->setting;
}

Setting RadioPageRules::boxSetting(int boxId) {
    const Binding* b = find(kBoxes, boxId);
    if (b == nullptr) noSuchControl(boxId);
    return b->setting;
}

std::vector<std::string> RadioPageRules::items(int listId) const {
    return settingItems(listSetting(listId), texts_);
}

int RadioPageRules::selectedIndex(int listId) const {
    return page_rules::shownIndex(target_.fields, texts_, listSetting(listId));
}

void RadioPageRules::select(int listId, int index) {
    page_rules::storeIndex(target_, texts_, listSetting(listId), index);
}

bool RadioPageRules::checked(int boxId) const {
    return page_rules::isTicked(target_.fields, boxSetting(boxId));
}

void RadioPageRules::setChecked(int boxId, bool on) {
    page_rules::storeTicked(target_, boxSetting(boxId), on);
}

bool RadioPageRules::fmEnabled() const {
    return page_rules::isTicked(target_.fields, Setting::FmRadioEnable);
}

bool RadioPageRules::enabled(int controlId) const {
    for (int id : kFmDependent) {
        if (id == controlId) return fmEnabled();
    }
    return true;
}

bool RadioPageRules::presetsReadOnly() const {
    return !fmEnabled();
}

std::string RadioPageRules::presetHeading(const TextLookup& texts, int column) {
    return texts.heading(lang_section::kRadiogramText, lang_section::kRadiogramKeyFormat, column)
        .value_or(std::string());
}

std::string RadioPageRules::presetText(const ImageFields& fields, const TextLookup& texts, int p) {
    int value = fields.preset(p);
    return value == 0 ? texts.text(text_key::kOff) : frequency::fmText(value - 1);
}

std::vector<std::string> RadioPageRules::presetItems() const {
    std::vector<std::string> items{texts_.text(text_key::kOff)};
    for (int i = 0; i <= kFmIndexMax; ++i) {
        items.push_back(frequency::fmText(i));
    }
    return items;
}

int RadioPageRules::presetItemIndex(int p) const {
    // The stored preset value already counts "none" as 0, like the list.
    return target_.fields.preset(p);
}

void RadioPageRules::commitPreset(int p, int itemIndex) {
    if (itemIndex < 0 || itemIndex > kFmIndexMax + 1) return;
    target_.fields.setPreset(p, itemIndex);
    target_.sink.recordEdit();
}

std::string RadioPageRules::passwordText(const ImageFields& fields) {
    return text_codes::decodePassword(fields.powerOnPassword());
}

bool RadioPageRules::acceptsPasswordKey(char c) {
    return c >= '0' && c <= '9';
}

bool RadioPageRules::commitPassword(std::string_view text) {
    text_codes::PasswordBytes bytes = text_codes::encodePassword(text);
    if (bytes == target_.fields.powerOnPassword()) return false;
    target_.fields.setPowerOnPassword(bytes);
    target_.sink.recordEdit();
    return true;
}

std::string RadioPageRules::messageText(const ImageFields& fields) {
    return text_codes::decodeDisplayText(fields.powerOnMessage());
}

bool RadioPageRules::acceptsMessageKey(char c) {
    return text_codes::isTypableDisplayChar(c);
}

std::string RadioPageRules::commitMessage(std::string_view text) {
    text_codes::DisplayBytes bytes = text_codes::encodeDisplayText(text);
    if (bytes != target_.fields.powerOnMessage()) {
        target_.fields.setPowerOnMessage(bytes);
        target_.sink.recordEdit();
    }
    return messageText();
}

RadioPageRules::ScanLists RadioPageRules::rebuildScanLists() {
    ScanLists lists;
    for (int c = 1; c <= kChannelCount; ++c) {
        if (target_.fields.isEmpty(c)) {
            target_.fields.setScanMember(c - 1, false);
        } else if (!target_.fields.scanMember(c - 1)) {
            lists.existing.push_back(scanItemText(c));
        }
        if (target_.fields.scanMember(c - 1)) lists.scanned.push_back(scanItemText(c));
    }
    return lists;
}

bool RadioPageRules::setScanned(int n, bool on) {
    if (on && target_.fields.isEmpty(n)) return false;
    if (target_.fields.scanMember(n - 1) == on) return true;
    target_.fields.setScanMember(n - 1, on);
    target_.sink.recordEdit();
    return true;
}

RadioPageRules::ScanLists RadioPageRules::changeScan(const std::vector<std::string>& selectedItems,
                                                     bool on) {
    for (const std::string& item : selectedItems) {
        if (int c = channelOfItem(item); c != 0) setScanned(c, on);
    }
    return rebuildScanLists();
}

RadioPageRules::ScanLists RadioPageRules::addToScan(const std::vector<std::string>& selectedItems) {
    return changeScan(selectedItems, true);
}

RadioPageRules::ScanLists RadioPageRules::removeFromScan(
    const std::vector<std::string>& selectedItems) {
    return changeScan(selectedItems, false);
}

void RadioPageRules::clickedExistingList() {
    addEnabled_ = true;
    removeEnabled_ = false;
}

void RadioPageRules::clickedScanList() {
    addEnabled_ = false;
    removeEnabled_ = true;
}

std::string RadioPageRules::controlValue(const ImageFields& fields, const TextLookup& texts,
                                         int controlId) {
    if (controlId == kPasswordBox) return passwordText(fields);
    if (controlId == kMessageBox) return messageText(fields);
    if (const Binding* b = find(kBoxes, controlId)) {
        return page_rules::yesNoText(texts, page_rules::isTicked(fields, b->setting));
    }
    if (const Binding* b = find(kLists, controlId))
        return page_rules::shownItemText(fields, texts, b->setting);
    return {};
}

std::string RadioPageRules::controlCaption(const TextLookup& texts, int controlId) {
    return page_rules::captionText(texts, kCaptions, controlId);
}

std::optional<int> RadioPageRules::controlOf(Setting id) {
    for (std::span<const Binding> bindings :
         {std::span<const Binding>(kLists), std::span<const Binding>(kBoxes)}) {
        for (const Binding& b : bindings) {
            if (b.setting == id) return b.id;
        }
    }
    return std::nullopt;
}

page_rules::PrintRows RadioPageRules::printRows() const {
    return printRows([this](int id) { return caption(id); });
}

page_rules::PrintRows RadioPageRules::printRows(const page_rules::CaptionOf& captionOf) const {
    static const std::vector<std::vector<int>> kPrintOrder = {
        {kFmRadioBox, kFmMonitorBox, kRadioModeList},
        {kFmVfoList, kMessageBox, kPasswordBox},
        {kSideKey1ShortList, kSideKey1LongList, kSideKey2ShortList},
        {kSideKey2LongList, kFmRadioEnableBox},
    };
    page_rules::PrintRows rows;
    for (const std::vector<int>& ids : kPrintOrder) {
        std::vector<std::string>& row = rows.emplace_back();
        for (int id : ids) {
            row.push_back(
                page_rules::printEntry(captionOf(id), controlValue(target_.fields, texts_, id)));
        }
    }
    return rows;
}

}  // namespace pl3
