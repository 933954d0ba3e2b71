#pragma once
// Where the channels sit: insert, delete, move and sort within the channels the user may
// place (78 ... 128; 1 ... 77 have fixed frequencies and never move). A channel moves
// whole: its 16-byte record, its 8-byte name slot and its scan-list bit travel together,
// so nothing of it is lost or left behind. Each command is one user edit of its target.

#include "codeplug/edit_target.h"

namespace pl3 {

enum class ChannelOrderCommand {
    Insert,  // an empty channel at s, the rest one place down; refused while 128 is used
    Add,     // the page's Add button: as Insert, but a used channel 128 is dropped
    Delete,  // channel s goes, the rest one place up, the last becomes empty
    MoveUp,
    MoveDown,
    SortByFrequency,  // by receive frequency, empty channels last
    SortByName,       // by name, unnamed channels after named ones, empty channels last
};

enum class ChannelOrderOutcome {
    Done,
    NotApplicable,     // s is not a channel the command can act on: nothing changed
    LastChannelInUse,  // insert would push channel 128 out: nothing changed
};

struct ChannelOrderResult {
    ChannelOrderOutcome outcome;
    int current;  // where the current channel's contents now are (s when they stay)
};

// Runs the command with current channel s on the target's image.
ChannelOrderResult reorderChannels(EditTarget target, ChannelOrderCommand command, int s);

// Channel n as a new channel starts: frequencies, tones and name erased, every option
// off and talkaround (flags 0xBF), not scanned.
void resetChannel(ImageFields& fields, int n);

}  // namespace pl3
