#pragma once
// The single document: the codeplug image with its file header, the frequency limits
// in force, and the modified flag and path of the framework. Pages and dialogs keep no
// copy of the data; every edit goes through the field operations below. No operation
// checks its index or value range (callers pass what the tables allow), and no field
// operation sets the modified flag: the caller decides that.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/edit_history.h"
#include "codeplug/frequency.h"
#include "codeplug/frequency_range.h"
#include "codeplug/image_layout.h"
#include "codeplug/radio_settings.h"
#include "codeplug/text_codes.h"
#include "codeplug/tone_tables.h"
#include "platform/settings_file.h"

namespace pl3 {

enum class DtmfCode { Bot, Eot };

class CMaItemDoc {
  public:
    explicit CMaItemDoc(SettingsFile settings);

    const SettingsFile& settings() const { return settings_; }

    Header& header() { return header_; }
    const Header& header() const { return header_; }
    Image& image() { return image_; }
    const Image& image() const { return image_; }

    // --- framework state ---
    bool isModified() const { return modified_; }
    void setModifiedFlag(bool modified) { modified_ = modified; }
    const std::string& pathName() const { return pathName_; }
    void setPathName(std::string path) { pathName_ = std::move(path); }
    // The image came from a file that ended early: the rest is erased, and writing it to
    // a radio would blank those settings. Cleared when the image is replaced as a whole.
    bool fromIncompleteFile() const { return fromIncompleteFile_; }
    void setFromIncompleteFile(bool incomplete) { fromIncompleteFile_ = incomplete; }

    // --- edit history (undo and redo) ---
    // A user edit ended: the document is modified and the image becomes an undo step.
    void markEdited();
    // The image starts a fresh history (new, open, read from the radio, range change);
    // saved: the image is what the file holds.
    void startHistory(bool saved);
    // The file now holds the image.
    void markSaved();
    // The image differs from the last step: something changed it without an edit step.
    bool hasUnrecordedChanges() const { return image_ != history_.current(); }
    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    // One edit back or forward: the image, the modified flag (clear exactly when the
    // image is the saved one again), and every view.
    void undo();
    void redo();
    // Told whenever what can be undone or redone may have changed.
    void setHistoryListener(std::function<void()> listener) {
        historyListener_ = std::move(listener);
    }

    // Header magic restored, every image byte erased (no longer from an incomplete file).
    // Header bytes 44 ... 47 and the limits stay as they are.
    void clearContents();

    // Every view refreshes itself from the image.
    int addViewListener(std::function<void()> listener);
    void removeViewListener(int id);
    void updateAllViews();

    // --- channel records: n = 1 ... 128, 129 for the VFO ---
    bool isEmpty(int n) const;
    bool lacksFrequency(int n) const;
    bool sameFrequencies(int n) const;
    std::string frequencyText(int n, Side side) const;
    // Channel rounding; the empty text empties the field.
    void setFrequencyText(int n, Side side, std::string_view text);
    // The same in 10 Hz units; nullopt empties the field.
    void setFrequency(int n, Side side, std::optional<std::int32_t> value);
    int toneCode(int n, Side side) const;
    void setToneCode(int n, Side side, int code);
    tone::Field toneField(int n, Side side) const;
    std::uint8_t toneIndexByte(int n, Side side) const;
    void setToneIndexByte(int n, Side side, std::uint8_t index);
    bool toneKindBit(int n, Side side, int bit) const;
    void setToneKindBit(int n, Side side, int bit, bool on);
    bool channelFlag(int n, ChannelFlag flag) const;
    void setChannelFlag(int n, ChannelFlag flag, bool on);
    // Bits 6-7 of record byte 13: 0 equal, 1 transmit above receive, 2 below.
    int shiftDir(int n) const;
    void setShiftDir(int n, int direction);
    text_codes::DisplayBytes channelName(int n) const;
    void setChannelName(int n, const text_codes::DisplayBytes& name);

    // --- VFO ---
    std::string vfoOffsetText() const;
    void setVfoFrequencyText(frequency::VfoValue which, std::string_view text);

    // --- scan list: k = 0 ... 127 for channel k + 1 ---
    bool scanMember(int k) const;
    void setScanMember(int k, bool on);

    // --- FM broadcast presets: p = 1 ... 25; 0 = empty, else FM index + 1 ---
    int preset(int p) const;
    void setPreset(int p, int value);

    // --- radio-wide settings (indexes as the lists show them) ---
    int setting(Setting id) const { return readSettingIndex(image_, id); }
    void setSetting(Setting id, int index) { writeSettingIndex(image_, id, index); }

    std::string dtmfCodeText(DtmfCode which) const;
    void setDtmfCodeText(DtmfCode which, std::string_view text);
    text_codes::PasswordBytes powerOnPassword() const;
    void setPowerOnPassword(const text_codes::PasswordBytes& bytes);
    text_codes::DisplayBytes powerOnMessage() const;
    void setPowerOnMessage(const text_codes::DisplayBytes& bytes);

    // --- tuning values ---
    int tuneSquelch3(int i) const;  // i = 0 ... 2; above 127 reads as 127
    void setTuneSquelch3(int i, int value);
    // j = 0 ... 12: high power 0 ... 4, low power 0 ... 4, battery, VOX 1, VOX 9.
    int tuningValue(int j) const;
    void setTuningValue(int j, int value);

    // --- service mode: the access code typed last; kept for the whole run, through new
    // documents and loaded files, and never saved ---
    const std::string& accessCode() const { return accessCode_; }
    void setAccessCode(std::string code) { accessCode_ = std::move(code); }

    // --- frequency range ---
    freq_range::Code freqRangeCode() const;
    int rangeIndex() const;
    // Stores the code of range i (when setting.ini has it) and derives the limits.
    void selectRange(int i);
    void deriveRangeLimits();
    std::int32_t lowerLimit() const { return limits_.lower; }
    std::int32_t upperLimit() const { return limits_.upper; }

  private:
    std::size_t recordByte(int n, std::size_t byte) const { return layout::record(n) + byte; }
    std::size_t toneOffset(int n, Side side) const;
    std::size_t frequencyOffset(int n, Side side) const;
    std::size_t dtmfOffset(DtmfCode which) const;

    SettingsFile settings_;
    Header header_{};
    Image image_{};
    freq_range::Limits limits_ = freq_range::kDefaultLimits;
    bool modified_ = false;
    EditHistory history_;
    std::function<void()> historyListener_;
    std::string pathName_;
    bool fromIncompleteFile_ = false;
    std::string accessCode_;
    std::vector<std::pair<int, std::function<void()>>> viewListeners_;
    int nextListenerId_ = 1;
};

}  // namespace pl3
