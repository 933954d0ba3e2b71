#pragma once
// The undo and redo steps of one document: a snapshot of the image after every edit.
// The image is 4096 bytes, so whole snapshots are cheap and always exact, whatever the
// edit touched. The history also knows which step matches the file on disk, so undoing
// back to it makes the document unmodified again.

#include <cstddef>
#include <deque>
#include <optional>

#include "codeplug/image_layout.h"

namespace pl3 {

class EditHistory {
  public:
    // Oldest steps are forgotten beyond this (about 4 MB of snapshots).
    static constexpr std::size_t kMaxSteps = 1000;

    // A fresh history whose only state is this image; saved: it matches the file.
    void reset(const Image& image, bool saved);

    // An edit ended with this image: a new step when it differs from the current one.
    // Steps that could be redone are dropped. Returns whether a step was added.
    bool record(const Image& image);

    bool canUndo() const { return current_ > 0; }
    bool canRedo() const { return current_ + 1 < states_.size(); }
    // The image to show after stepping back or forward (the current one when there is
    // no such step).
    const Image& undo();
    const Image& redo();
    const Image& current() const { return states_[current_]; }

    // The current state was just written to the file.
    void markSaved();
    // Whether the current state is the one in the file.
    bool atSavedState() const { return saved_ && *saved_ == current_; }

  private:
    std::deque<Image> states_{Image{}};
    std::size_t current_ = 0;
    std::optional<std::size_t> saved_;
};

}  // namespace pl3
