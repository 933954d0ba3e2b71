#include "codeplug/edit_history.h"

namespace pl3 {

void EditHistory::reset(const Image& image, bool saved) {
    states_.assign(1, image);
    current_ = 0;
    saved_.reset();
    if (saved) saved_ = 0;
}

bool EditHistory::record(const Image& image) {
    if (image == states_[current_]) return false;
    states_.erase(states_.begin() + static_cast<std::ptrdiff_t>(current_) + 1, states_.end());
    if (saved_ && *saved_ > current_) saved_.reset();  // that state can no longer be reached
    states_.push_back(image);
    ++current_;
    if (states_.size() > kMaxSteps) {
        states_.pop_front();
        --current_;
        if (saved_) saved_ = *saved_ > 0 ? std::optional<std::size_t>(*saved_ - 1) : std::nullopt;
    }
    return true;
}

const Image& EditHistory::undo() {
    if (canUndo()) --current_;
    return states_[current_];
}

const Image& EditHistory::redo() {
    if (canRedo()) ++current_;
    return states_[current_];
}

void EditHistory::markSaved() {
    saved_ = current_;
}

}  // namespace pl3
