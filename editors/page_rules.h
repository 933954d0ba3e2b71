#pragma once
// What the two settings pages share without any widget: a setting's list selection and
// tick, the one store every setting change goes through (it records a user edit only
// when a byte changed), captions from the language file, and the printout's
// "caption : value" entries.

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/edit_target.h"
#include "lang/text_lookup.h"

namespace pl3::page_rules {

// A list control's selection: the setting's clamped index, or -1 when its item list
// (a language section that is short or missing) has no such item.
int shownIndex(const ImageFields& fields, const TextLookup& texts, Setting id);
// The text the list shows for its selection; empty when nothing is selected.
std::string shownItemText(const ImageFields& fields, const TextLookup& texts, Setting id);
// Stores a setting's index; a user edit is recorded when a byte changed.
void storeSetting(EditTarget target, Setting id, int index);
// Stores an index picked from the setting's list as storeSetting does; an index the list
// does not offer is ignored. Returns whether it was stored.
bool storeIndex(EditTarget target, const TextLookup& texts, Setting id, int index);
// One bit setting ticked or not; changing it records a user edit.
bool isTicked(const ImageFields& fields, Setting id);
void storeTicked(EditTarget target, Setting id, bool on);

// "caption : value", as the printout lists a control.
std::string printEntry(std::string_view caption, std::string_view value);
// The printed value of a check box: the "IDS_YES" or "IDS_NO" text.
std::string yesNoText(const TextLookup& texts, bool ticked);

// The caption of a control as the widget shows it (its label text).
using CaptionOf = std::function<std::string(int controlId)>;

// Where a control's caption comes from: the language file's "Resource" text of captionId,
// else the built-in caption (a check box is its own caption).
struct Caption {
    int controlId;
    int captionId;
    std::string_view builtIn;
};
// The caption of controlId in the table, as the page shows it; empty for a control it lacks.
std::string captionText(const TextLookup& texts, std::span<const Caption> captions, int controlId);
using PrintRows = std::vector<std::vector<std::string>>;

}  // namespace pl3::page_rules
