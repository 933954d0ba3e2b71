#pragma once
// The single document: the codeplug image with its file header, the frequency limits
// in force, the modified flag and path of the framework, the edit history and the views
// that follow it. Pages and dialogs keep no copy of the data. They read the image's
// fields and change them through the rules, which work on the edit target the document
// hands out and tell it of each user edit; what takes or makes an image as a whole asks
// for the raw fields by name.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "codeplug/edit_history.h"
#include "codeplug/edit_target.h"
#include "codeplug/frequency_range.h"
#include "codeplug/image_fields.h"
#include "platform/file_stamp.h"
#include "platform/settings_file.h"

namespace pl3 {

class CMaItemDoc : private EditSink {
  public:
    explicit CMaItemDoc(SettingsFile settings);

    const ImageFields& fields() const { return fields_; }
    const Image& image() const { return fields_.image(); }
    // The image for the rules: each user edit they finish is recorded here (markEdited).
    EditTarget editTarget() { return {fields_, limits_, *this}; }
    // The image's fields around the rules: nothing is checked and nothing recorded. For
    // what takes or makes an image as a whole: loading a file, factory defaults, the
    // radio session, service mode, an import the rules worked out on a copy, set --raw.
    ImageFields& rawFields() { return fields_; }

    const SettingsFile& settings() const { return settings_; }

    Header& header() { return header_; }
    const Header& header() const { return header_; }

    // --- framework state ---
    bool isModified() const { return modified_; }
    void setModifiedFlag(bool modified) { modified_ = modified; }
    const std::string& pathName() const { return pathName_; }
    void setPathName(std::string path) { pathName_ = std::move(path); }
    // The file at pathName() as it was when opened or last saved here; nullopt when
    // unknown. Another stamp now means another program wrote the file since.
    const std::optional<platform::FileStamp>& fileStamp() const { return fileStamp_; }
    void setFileStamp(std::optional<platform::FileStamp> stamp) { fileStamp_ = stamp; }
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
    bool hasUnrecordedChanges() const { return image() != history_.current(); }
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

    // --- service mode: the access code typed last; kept for the whole run, through new
    // documents and loaded files, and never saved ---
    const std::string& accessCode() const { return accessCode_; }
    void setAccessCode(std::string code) { accessCode_ = std::move(code); }

    // --- frequency range: the limits come from setting.ini ---
    int rangeIndex() const;
    // Stores the code of range i (when setting.ini has it) and derives the limits.
    void selectRange(int i);
    void deriveRangeLimits();
    const freq_range::Limits& limits() const { return limits_; }
    std::int32_t lowerLimit() const { return limits_.lower; }
    std::int32_t upperLimit() const { return limits_.upper; }

  private:
    void recordEdit() override { markEdited(); }

    SettingsFile settings_;
    Header header_{};
    ImageFields fields_;
    freq_range::Limits limits_ = freq_range::kDefaultLimits;
    bool modified_ = false;
    EditHistory history_;
    std::function<void()> historyListener_;
    std::string pathName_;
    std::optional<platform::FileStamp> fileStamp_;
    bool fromIncompleteFile_ = false;
    std::string accessCode_;
    std::vector<std::pair<int, std::function<void()>>> viewListeners_;
    int nextListenerId_ = 1;
};

}  // namespace pl3
