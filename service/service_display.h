#pragma once
// What the service dialogs show of a transfer: the progress bar and "%s %d%%" line of the
// whole-image transfers, and the status text and message box a finished job ends with.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lang/text_lookup.h"
#include "platform/prompter.h"
#include "service/service_job.h"

namespace pl3::service {

inline constexpr int kBarMaximum = 100;

// The bar's position once blocksDone blocks have moved: (100 + 1600 k) / 4096 after
// block k, so it ends at 99 and the success text, not 100%, marks the end.
int barPosition(int blocksDone);

// The key whose text leads the progress line ("IDS_PROMPT_READ" or "IDS_PROMPT_WRITE").
std::string_view progressKey(ServiceTask task);
// "%s %d%%" of that text and the bar's position.
std::string progressLine(std::string_view leadText, int position);

struct FinalDisplay {
    std::string_view statusKey;                // the status line's text; empty clears it
    std::vector<long long> statusNumbers;      // for the "%d" marks of that text, in order
    std::optional<std::string_view> errorKey;  // message box: caption "IDS_ERROR", stop icon
};

// A failure clears the status line, so no earlier success text is left standing beside
// the message that reports it. A whole-image write stopped part-way says after which
// block: the radio then holds part of the new image.
FinalDisplay finalDisplay(ServiceTask task, const ServiceSnapshot& end);
// The status text with its "%d" marks filled from the display's numbers.
std::string statusLine(std::string text, const FinalDisplay& display);

// The message box of a display with an error: for no radio, only why the port did not open
// when none opened.
PromptMessage errorMessage(const FinalDisplay& display, const ServiceSnapshot& end,
                           const TextLookup& texts);

}  // namespace pl3::service
