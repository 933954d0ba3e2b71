#pragma once
// The optional functions page (dialog 151): lists, check boxes and the two DTMF code boxes
// of the radio-wide settings. It only shows what FunctionsPageRules answers and forwards
// the user's actions to it.

#include <map>

#include "codeplug/document.h"
#include "editors/functions_page_rules.h"
#include "editors/ui/settings_page.h"
#include "lang/text_lookup.h"

class QLineEdit;

namespace pl3 {

class FunctionsPage : public SettingsPage {
    Q_OBJECT

  public:
    // Identifiers of the captions (labels and group boxes); the controls use the rules'.
    static constexpr int kFunctionsGroup = 1300;
    static constexpr int kVoxGroup = 1301;
    static constexpr int kDtmfGroup = 1302;
    static constexpr int kSquelchLevelLabel = FunctionsPageRules::kSquelchLevelLabel;
    static constexpr int kTotLabel = FunctionsPageRules::kTotLabel;
    static constexpr int kScanDelayLabel = FunctionsPageRules::kScanDelayLabel;
    static constexpr int kTailNoiseModeLabel = FunctionsPageRules::kTailNoiseModeLabel;
    static constexpr int kLcdDisplayModeLabel = FunctionsPageRules::kLcdDisplayModeLabel;
    static constexpr int kBackLampLabel = FunctionsPageRules::kBackLampLabel;
    static constexpr int kKeyLockModeLabel = FunctionsPageRules::kKeyLockModeLabel;
    static constexpr int kSystemModeLabel = FunctionsPageRules::kSystemModeLabel;
    static constexpr int kVoxLevelLabel = FunctionsPageRules::kVoxLevelLabel;
    static constexpr int kVoxDelayLabel = FunctionsPageRules::kVoxDelayLabel;
    static constexpr int kPttIdLabel = FunctionsPageRules::kPttIdLabel;
    static constexpr int kBotCodeLabel = FunctionsPageRules::kBotCodeLabel;
    static constexpr int kEotCodeLabel = FunctionsPageRules::kEotCodeLabel;
    static constexpr int kDtmfRateLabel = FunctionsPageRules::kDtmfRateLabel;
    static constexpr int kDtmfFirstDigitTimeLabel = FunctionsPageRules::kDtmfFirstDigitTimeLabel;
    static constexpr int kDtmfFirstDigitDelayLabel = FunctionsPageRules::kDtmfFirstDigitDelayLabel;

    // The document and texts are the caller's and must outlive the page.
    FunctionsPage(CMaItemDoc& doc, const TextLookup& texts, QWidget* parent = nullptr);

    // Captions, lists, boxes and codes from the document and the current language.
    void refresh() override;

    // The page's printout section: rows of "caption : value" texts, captions as shown.
    page_rules::PrintRows printRows() const;

    // The code box with that identifier (nullptr for none): for tests and the printout.
    QLineEdit* codeBox(int id) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* addCodeBox(int id);

    const TextLookup& texts_;
    FunctionsPageRules rules_;
    std::map<int, QLineEdit*> codes_;
};

}  // namespace pl3
