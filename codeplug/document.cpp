#include "codeplug/document.h"

#include <algorithm>

#include "codeplug/data_file.h"

namespace pl3 {

CMaItemDoc::CMaItemDoc(SettingsFile settings) : settings_(std::move(settings)) {
    clearContents();
}

void CMaItemDoc::clearContents() {
    data_file::writeMagic(header_);
    fields_.image().fill(kErased);
    fromIncompleteFile_ = false;
}

void CMaItemDoc::markEdited() {
    modified_ = true;
    if (history_.record(image()) && historyListener_) historyListener_();
}

void CMaItemDoc::startHistory(bool saved) {
    history_.reset(image(), saved);
    if (historyListener_) historyListener_();
}

void CMaItemDoc::markSaved() {
    history_.markSaved();
}

void CMaItemDoc::undo() {
    if (!canUndo()) return;
    fields_.image() = history_.undo();
    modified_ = !history_.atSavedState();
    updateAllViews();
    if (historyListener_) historyListener_();
}

void CMaItemDoc::redo() {
    if (!canRedo()) return;
    fields_.image() = history_.redo();
    modified_ = !history_.atSavedState();
    updateAllViews();
    if (historyListener_) historyListener_();
}

int CMaItemDoc::addViewListener(std::function<void()> listener) {
    viewListeners_.emplace_back(nextListenerId_, std::move(listener));
    return nextListenerId_++;
}

void CMaItemDoc::removeViewListener(int id) {
    std::erase_if(viewListeners_, [id](const auto& entry) { return entry.first == id; });
}

void CMaItemDoc::updateAllViews() {
    // A listener may remove itself while views update.
    auto listeners = viewListeners_;
    for (auto& [id, listener] : listeners)
        listener();
}

int CMaItemDoc::rangeIndex() const {
    return freq_range::rangeIndexOf(settings_, fields_.freqRangeCode());
}

void CMaItemDoc::selectRange(int i) {
    if (std::optional<std::string> data = settings_.freqRangeData(i)) {
        if (std::optional<freq_range::Code> code = freq_range::parseCode(*data)) {
            fields_.setFreqRangeCode(*code);
        }
    }
    deriveRangeLimits();
}

void CMaItemDoc::deriveRangeLimits() {
    limits_ = freq_range::deriveLimits(settings_, fields_.freqRangeCode());
}

}  // namespace pl3
