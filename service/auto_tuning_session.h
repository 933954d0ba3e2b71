#pragma once
// The rules of the auto-tuning dialog: what choosing an item, moving the scroll bar,
// ending a scroll, the squelch poll and OK / Cancel send to the radio and change in the
// document. The dialog shows position(), range() and squelchShown() and runs the 1000 ms
// poll timer as told.

#include "codeplug/document.h"
#include "service/auto_tuning.h"
#include "service/live_tuning_link.h"

namespace pl3::service {

inline constexpr int kSquelchPollMs = 1000;
// The radio settles after a change before the next frame.
inline constexpr int kLiveSetPauseMs = 150;
inline constexpr int kSquelchQueryPauseMs = 100;

enum class PollTimer { Start, Stop };

class AutoTuningSession {
  public:
    AutoTuningSession(CMaItemDoc& doc, LiveTuningChannel& channel);

    // Item 0: its value is sent live and the squelch is asked for.
    PollTimer open();
    // Another list item n (0 ... 12): its value from the document, sent live.
    PollTimer select(int n);
    // The arrows: one step with wrap-around. Nothing is sent.
    int step(int direction);
    // The thumb being dragged. Nothing is sent.
    int track(int position);
    // The scroll is over: the value is stored in the document and sent live.
    PollTimer endScroll();
    // The 1000 ms timer.
    void pollSquelch();
    // OK (keep) or Cancel: the closing live set; the port is closed after it.
    void finish(bool keep);

    int position() const { return position_; }
    ValueLimits range() const;
    bool squelchShown() const { return isSquelchItem(selected_); }

  private:
    PollTimer sendCurrent();

    CMaItemDoc& doc_;
    LiveTuningChannel& channel_;
    LiveRecord record_ = kBlankRecord;
    std::uint8_t band_;
    int selected_ = 0;
    int position_ = 0;
};

}  // namespace pl3::service
