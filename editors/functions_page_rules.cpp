#include "editors/functions_page_rules.h"

#include <array>
#include <stdexcept>

#include "editors/setting_items.h"

namespace pl3 {

namespace {

using Rules = FunctionsPageRules;
using enum FunctionsPageRules::Kind;

constexpr Rules::Control list(int id, Setting s) {
    return {id, List, s, DtmfCode::Bot};
}
constexpr Rules::Control box(int id, Setting s) {
    return {id, CheckBox, s, DtmfCode::Bot};
}
constexpr Rules::Control code(int id, DtmfCode which) {
    return {id, Code, Setting::BackLamp, which};
}

constexpr std::array kControls = {
    list(Rules::kBackLampList, Setting::BackLamp),
    list(Rules::kKeyLockModeList, Setting::KeyLockMode),
    list(Rules::kSystemModeList, Setting::SystemMode),
    list(Rules::kTailNoiseModeList, Setting::TailNoiseMode),
    list(Rules::kLcdDisplayModeList, Setting::LcdDisplayMode),
    list(Rules::kSquelchLevelList, Setting::SquelchLevel),
    list(Rules::kTotList, Setting::Tot),
    list(Rules::kVoxLevelList, Setting::VoxLevel),
    list(Rules::kVoxDelayList, Setting::VoxDelay),
    list(Rules::kScanDelayList, Setting::ScanDelay),
    list(Rules::kDtmfRateList, Setting::DtmfRate),
    list(Rules::kDtmfFirstDigitTimeList, Setting::DtmfFirstDigitTime),
    list(Rules::kDtmfFirstDigitDelayList, Setting::DtmfFirstDigitDelay),
    list(Rules::kPttIdList, Setting::PttId),
    box(Rules::kKeyBeepBox, Setting::KeyBeep),
    box(Rules::kBatterySaveBox, Setting::BatterySave),
    box(Rules::kAutoPowerOffBox, Setting::AutoPowerOff),
    box(Rules::kFreqGroupBox, Setting::FreqGroup),
    box(Rules::kDtmfSidetoneBox, Setting::DtmfSidetone),
    code(Rules::kBotCodeBox, DtmfCode::Bot),
    code(Rules::kEotCodeBox, DtmfCode::Eot),
};

// The printout's order: by topic, not by the page's layout.
constexpr int kPrintOrder[7][3] = {
    {Rules::kSquelchLevelList, Rules::kTotList, Rules::kScanDelayList},
    {Rules::kTailNoiseModeList, Rules::kLcdDisplayModeList, Rules::kBackLampList},
    {Rules::kKeyLockModeList, Rules::kFreqGroupBox, Rules::kSystemModeList},
    {Rules::kKeyBeepBox, Rules::kBatterySaveBox, Rules::kAutoPowerOffBox},
    {Rules::kVoxLevelList, Rules::kVoxDelayList, Rules::kDtmfSidetoneBox},
    {Rules::kPttIdList, Rules::kBotCodeBox, Rules::kEotCodeBox},
    {Rules::kDtmfRateList, Rules::kDtmfFirstDigitTimeList, Rules::kDtmfFirstDigitDelayList},
};

constexpr page_rules::Caption kCaptions[] = {
    {Rules::kSquelchLevelList, Rules::kSquelchLevelLabel, "静噪等级"},
    {Rules::kTotList, Rules::kTotLabel, "发射限时"},
    {Rules::kScanDelayList, Rules::kScanDelayLabel, "扫描延时"},
    {Rules::kTailNoiseModeList, Rules::kTailNoiseModeLabel, "尾音消除"},
    {Rules::kLcdDisplayModeList, Rules::kLcdDisplayModeLabel, "信道显示方式"},
    {Rules::kBackLampList, Rules::kBackLampLabel, "背光"},
    {Rules::kKeyLockModeList, Rules::kKeyLockModeLabel, "键盘锁定方式"},
    {Rules::kSystemModeList, Rules::kSystemModeLabel, "系统模式"},
    {Rules::kVoxLevelList, Rules::kVoxLevelLabel, "声控等级"},
    {Rules::kVoxDelayList, Rules::kVoxDelayLabel, "声控延时"},
    {Rules::kPttIdList, Rules::kPttIdLabel, "PTT ID"},
    {Rules::kBotCodeBox, Rules::kBotCodeLabel, "发射起始码"},
    {Rules::kEotCodeBox, Rules::kEotCodeLabel, "发射结束码"},
    {Rules::kDtmfRateList, Rules::kDtmfRateLabel, "DTMF 速率"},
    {Rules::kDtmfFirstDigitTimeList, Rules::kDtmfFirstDigitTimeLabel, "首位码时间"},
    {Rules::kDtmfFirstDigitDelayList, Rules::kDtmfFirstDigitDelayLabel, "首位码延时"},
    {Rules::kBatterySaveBox, Rules::kBatterySaveBox, "省电"},
    {Rules::kKeyBeepBox, Rules::kKeyBeepBox, "按键音"},
    {Rules::kAutoPowerOffBox, Rules::kAutoPowerOffBox, "自动关机"},
    {Rules::kFreqGroupBox, Rules::kFreqGroupBox, "频率分组"},
    {Rules::kDtmfSidetoneBox, Rules::kDtmfSidetoneBox, "DTMF 侧音"},
};

}  // namespace

std::span<const FunctionsPageRules::Control> FunctionsPageRules::controls() {
    return kControls;
}

const FunctionsPageRules::Control* FunctionsPageRules::control(int id) {
    for (const Control& c : kControls) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

const FunctionsPageRules::Control& FunctionsPageRules::require(int id, Kind kind) const {
    const Control* c = control(id);
    if (c == nullptr || c->kind != kind) {
        throw std::invalid_argument("no such control on the functions page: " + std::to_string(id));
    }
    return *c;
}

std::vector<std::string> FunctionsPageRules::items(int listId) const {
    return settingItems(require(listId, List).setting, texts_);
}

int FunctionsPageRules::selectedIndex(int listId) const {
    return page_rules::shownIndex(target_.fields, texts_, require(listId, List).setting);
}

void FunctionsPageRules::select(int listId, int index) {
    page_rules::storeIndex(target_, texts_, require(listId, List).setting, index);
}

bool FunctionsPageRules::checked(int boxId) const {
    return page_rules::isTicked(target_.fields, require(boxId, CheckBox).setting);
}

void FunctionsPageRules::setChecked(int boxId, bool on) {
    page_rules::storeTicked(target_, require(boxId, CheckBox).setting, on);
}

std::string FunctionsPageRules::codeText(int boxId) const {
    return target_.fields.dtmfCodeText(require(boxId, Code).code);
}

void FunctionsPageRules::commitCode(int boxId, std::string_view text) {
    target_.fields.setDtmfCodeText(require(boxId, Code).code, text);
    target_.sink.recordEdit();
}

bool FunctionsPageRules::acceptsCodeKey(char c) {
    return text_codes::isDtmfChar(c);
}

std::string FunctionsPageRules::controlValue(const ImageFields& fields, const TextLookup& texts,
                                             int controlId) {
    const Control* c = control(controlId);
    if (c == nullptr) return {};
    switch (c->kind) {
        case List:
            return page_rules::shownItemText(fields, texts, c->setting);
        case CheckBox:
            return page_rules::yesNoText(texts, page_rules::isTicked(fields, c->setting));
        case Code:
            return fields.dtmfCodeText(c->code);
    }
    return {};
}

std::string FunctionsPageRules::controlCaption(const TextLookup& texts, int controlId) {
    return page_rules::captionText(texts, kCaptions, controlId);
}

page_rules::PrintRows FunctionsPageRules::printRows() const {
    return printRows([this](int id) { return caption(id); });
}

page_rules::PrintRows FunctionsPageRules::printRows(const page_rules::CaptionOf& captionOf) const {
    page_rules::PrintRows rows;
    for (const auto& ids : kPrintOrder) {
        std::vector<std::string>& row = rows.emplace_back();
        for (int id : ids) {
            row.push_back(
                page_rules::printEntry(captionOf(id), controlValue(target_.fields, texts_, id)));
        }
    }
    return rows;
}

}  // namespace pl3
