#pragma once
// How wide a dialog lays out a message that wraps: the width its longest line asks for,
// within what reads well and what the screen gives.

namespace pl3::link {

// All in pixels.
struct TextFit {
    int longestLine = 0;  // the widest line of the message, unwrapped
    int unbreakable = 0;  // what cannot wrap: the longest word, a check box, the buttons
    int minimum = 0;      // the dialog's own minimum
    int readable = 0;     // lines longer than this wrap rather than widen the dialog
    int current = 0;      // a dialog on the screen does not shrink under the user's eyes
    int available = 0;    // the screen's room
};

int fittedWidth(const TextFit& fit);

}  // namespace pl3::link
