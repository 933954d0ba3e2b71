#pragma once
// What the optional functions page shows and stores, without any widget: every control
// is bound to one radio-wide setting (or DTMF code) of the codeplug, and each change is
// written straight into the image. The widget only displays these answers and forwards
// the user's actions.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/edit_target.h"
#include "editors/page_rules.h"
#include "editors/setting_controls.h"
#include "lang/text_lookup.h"

namespace pl3 {

class FunctionsPageRules : public SettingControls {
  public:
    static constexpr int kDialogId = 151;
    static constexpr int kMaxCodeLength = text_codes::kDtmfMaxDigits;

    // Lists.
    static constexpr int kBackLampList = 1062;
    static constexpr int kKeyLockModeList = 1064;
    static constexpr int kSystemModeList = 1075;
    static constexpr int kTailNoiseModeList = 1082;
    static constexpr int kLcdDisplayModeList = 1084;
    static constexpr int kSquelchLevelList = 1091;
    static constexpr int kTotList = 1093;
    static constexpr int kVoxLevelList = 1095;
    static constexpr int kVoxDelayList = 1097;
    static constexpr int kScanDelayList = 1099;
    static constexpr int kDtmfRateList = 1101;
    static constexpr int kDtmfFirstDigitTimeList = 1103;
    static constexpr int kDtmfFirstDigitDelayList = 1105;
    static constexpr int kPttIdList = 1108;
    // Check boxes.
    static constexpr int kKeyBeepBox = 1065;
    static constexpr int kBatterySaveBox = 1067;
    static constexpr int kAutoPowerOffBox = 1072;
    static constexpr int kFreqGroupBox = 1073;
    static constexpr int kDtmfSidetoneBox = 1106;
    // DTMF code edit boxes.
    static constexpr int kBotCodeBox = 1109;
    static constexpr int kEotCodeBox = 1112;
    // The labels captioning lists and code boxes.
    static constexpr int kSquelchLevelLabel = 1303;
    static constexpr int kTotLabel = 1304;
    static constexpr int kScanDelayLabel = 1305;
    static constexpr int kTailNoiseModeLabel = 1306;
    static constexpr int kLcdDisplayModeLabel = 1307;
    static constexpr int kBackLampLabel = 1308;
    static constexpr int kKeyLockModeLabel = 1309;
    static constexpr int kSystemModeLabel = 1310;
    static constexpr int kVoxLevelLabel = 1311;
    static constexpr int kVoxDelayLabel = 1312;
    static constexpr int kPttIdLabel = 1313;
    static constexpr int kBotCodeLabel = 1314;
    static constexpr int kEotCodeLabel = 1315;
    static constexpr int kDtmfRateLabel = 1316;
    static constexpr int kDtmfFirstDigitTimeLabel = 1317;
    static constexpr int kDtmfFirstDigitDelayLabel = 1318;

    enum class Kind { List, CheckBox, Code };
    struct Control {
        int id;
        Kind kind;
        Setting setting;  // lists and check boxes
        DtmfCode code;    // code boxes
    };

    // Every control of the page, by identifier.
    static std::span<const Control> controls();
    // nullptr for an identifier that is not on the page.
    static const Control* control(int id);

    // What the target refers to and the texts are the caller's and must outlive the rules.
    FunctionsPageRules(EditTarget target, const TextLookup& texts)
        : target_(target), texts_(texts) {}

    // The operations below throw std::invalid_argument for an identifier that is not a
    // control of the expected kind: that is a wiring mistake in the widget.
    std::vector<std::string> items(int listId) const override;
    int selectedIndex(int listId) const override;
    void select(int listId, int index) override;

    bool checked(int boxId) const override;
    void setChecked(int boxId, bool on) override;

    std::string codeText(int boxId) const;
    // Leaving a code box stores its text and records a user edit, changed or not.
    void commitCode(int boxId, std::string_view text);
    // Typed characters a code box takes (Backspace is handled by the widget).
    static bool acceptsCodeKey(char c);

    // A control's caption as the page shows it, in the current language.
    std::string caption(int controlId) const { return controlCaption(texts_, controlId); }
    static std::string controlCaption(const TextLookup& texts, int controlId);
    // A control's value in words, as the printout gives it (a check box: yes or no).
    static std::string controlValue(const ImageFields& fields, const TextLookup& texts,
                                    int controlId);

    // 7 rows of 3 "caption : value" entries, under the captions the page shows or others.
    page_rules::PrintRows printRows() const;
    page_rules::PrintRows printRows(const page_rules::CaptionOf& captionOf) const;

  private:
    const Control& require(int id, Kind kind) const;

    EditTarget target_;
    const TextLookup& texts_;
};

}  // namespace pl3
