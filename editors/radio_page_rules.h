#pragma once
// What the radio, keys and scan-list page shows and stores, without any widget: side
// keys, FM broadcast radio and its presets, power-on password and message, and which
// channels are scanned. Every change goes straight into the target's image.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/edit_target.h"
#include "editors/page_rules.h"
#include "editors/setting_controls.h"
#include "lang/text_lookup.h"

namespace pl3 {

class RadioPageRules : public SettingControls {
  public:
    static constexpr int kDialogId = 157;

    // Lists.
    static constexpr int kSideKey1ShortList = 1123;
    static constexpr int kSideKey1LongList = 1125;
    static constexpr int kSideKey2ShortList = 1127;
    static constexpr int kSideKey2LongList = 1129;
    static constexpr int kRadioModeList = 1088;
    static constexpr int kFmVfoList = 1029;
    // Check boxes.
    static constexpr int kFmRadioEnableBox = 1133;
    static constexpr int kFmRadioBox = 1086;
    static constexpr int kFmMonitorBox = 1089;
    // Edit boxes.
    static constexpr int kPasswordBox = 1114;
    static constexpr int kMessageBox = 1116;
    // The labels captioning lists and edit boxes.
    static constexpr int kMessageLabel = 1319;
    static constexpr int kPasswordLabel = 1320;
    static constexpr int kSideKey1ShortLabel = 1321;
    static constexpr int kSideKey1LongLabel = 1322;
    static constexpr int kSideKey2ShortLabel = 1323;
    static constexpr int kSideKey2LongLabel = 1324;
    static constexpr int kRadioModeLabel = 1325;
    static constexpr int kFmVfoLabel = 1326;

    static constexpr int kPasswordMaxLength = 4;
    static constexpr int kMessageMaxLength = 6;
    static constexpr std::string_view kScanItemPrefix = "Ch ";

    // What the target refers to and the texts are the caller's and must outlive the rules.
    RadioPageRules(EditTarget target, const TextLookup& texts) : target_(target), texts_(texts) {}

    // Lists and check boxes; an identifier of the wrong kind throws std::invalid_argument.
    std::vector<std::string> items(int listId) const override;
    int selectedIndex(int listId) const override;
    void select(int listId, int index) override;
    bool checked(int boxId) const override;
    void setChecked(int boxId, bool on) override;

    // The FM controls (radio, monitoring, mode, VFO frequency) and the preset cells
    // follow the FM radio enabled bit; every other control is always enabled.
    bool enabled(int controlId) const;
    bool presetsReadOnly() const;

    // The preset grid: 26 rows (a header row and presets 1 ... 25) and 2 columns (a
    // header column with the preset numbers and the frequencies).
    static constexpr int kPresetCount = 25;
    // Header cell (0, column), column 0 or 1: the "RadiogramText" heading, empty if missing.
    std::string presetHeading(int column) const { return presetHeading(texts_, column); }
    static std::string presetHeading(const TextLookup& texts, int column);
    // Header cell (p, 0): the preset number.
    static std::string presetNumberText(int p) { return std::to_string(p); }
    // Presets p = 1 ... 25: the "IDS_OFF" text or the frequency.
    std::string presetText(int p) const { return presetText(target_.fields, texts_, p); }
    static std::string presetText(const ImageFields& fields, const TextLookup& texts, int p);
    // The in-cell list: "IDS_OFF", then 87.0 ... 108.0.
    std::vector<std::string> presetItems() const;
    // The in-cell list's item for the preset: 0 when there is none.
    int presetItemIndex(int p) const;
    // Stores the picked item and records a user edit (even when unchanged, as
    // Escape stores the old value again).
    void commitPreset(int p, int itemIndex);

    std::string passwordText() const { return passwordText(target_.fields); }
    static std::string passwordText(const ImageFields& fields);
    static bool acceptsPasswordKey(char c);
    // Stores and marks modified only when the stored bytes change; returns whether they did.
    bool commitPassword(std::string_view text);

    std::string messageText() const { return messageText(target_.fields); }
    static std::string messageText(const ImageFields& fields);
    // Typed characters the message box takes ('#' can only be pasted).
    static bool acceptsMessageKey(char c);
    // Stores and marks modified only when the stored bytes change; returns the text the
    // box shows afterwards (upper case, ending where the encoding stopped).
    std::string commitMessage(std::string_view text);

    struct ScanLists {
        std::vector<std::string> existing;  // channels in use, not scanned
        std::vector<std::string> scanned;
    };
    // Both lists in channel order. An empty channel is listed nowhere and loses its
    // scan bit; that clean-up alone records no user edit.
    ScanLists rebuildScanLists();
    // Channel n (1 ... 128) scanned or not; a change records a user edit, so it is
    // not lost on closing. An empty channel is never scanned: adding it is refused (false).
    bool setScanned(int n, bool on);
    // Set or clear the scan bits of the channels named by the selected item texts, then
    // rebuild.
    ScanLists addToScan(const std::vector<std::string>& selectedItems);
    ScanLists removeFromScan(const std::vector<std::string>& selectedItems);

    // The Add and Delete buttons: both off at first, then following the list last clicked.
    void clickedExistingList();
    void clickedScanList();
    bool addEnabled() const { return addEnabled_; }
    bool removeEnabled() const { return removeEnabled_; }

    // A control's caption as the page shows it, in the current language.
    std::string caption(int controlId) const { return controlCaption(texts_, controlId); }
    static std::string controlCaption(const TextLookup& texts, int controlId);
    // A control's value in words, as the printout gives it (a check box: yes or no).
    static std::string controlValue(const ImageFields& fields, const TextLookup& texts,
                                    int controlId);
    // The list or check box that shows the setting; nullopt when this page has none.
    static std::optional<int> controlOf(Setting id);

    // 4 rows of "caption : value" entries, the last with two, under the captions the page
    // shows or others.
    page_rules::PrintRows printRows() const;
    page_rules::PrintRows printRows(const page_rules::CaptionOf& captionOf) const;

  private:
    static Setting listSetting(int listId);
    static Setting boxSetting(int boxId);
    bool fmEnabled() const;
    ScanLists changeScan(const std::vector<std::string>& selectedItems, bool on);

    EditTarget target_;
    const TextLookup& texts_;
    bool addEnabled_ = false;
    bool removeEnabled_ = false;
};

}  // namespace pl3
