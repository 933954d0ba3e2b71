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

    // The document and texts are the caller's and must outlive the page.
    FunctionsPage(CMaItemDoc& doc, const TextLookup& texts, QWidget* parent = nullptr);

    // Captions, lists, boxes and codes from the document and the current language.
    void refresh();

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
