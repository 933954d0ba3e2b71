#pragma once
// A named field set from a text value (pl3ctl set) changes as the pages change it: a
// channel column through the channel rules (a new channel gets its transmit frequency,
// an emptied receive frequency empties the channel, fixed channels keep their
// frequencies), a setting through the settings pages' store, and the scan list, FM
// presets, power-on password and message and the DTMF codes through the rules of the
// page that shows them. Fields no page shows are not handled here.

#include <string_view>

#include "codeplug/edit_target.h"
#include "codeplug/field_registry.h"
#include "lang/text_lookup.h"

namespace pl3 {

enum class FieldEdit {
    NotOnAPage,  // a field no page shows; set the field itself
    Done,
    BadValue,  // the text is not a value of the field; the image is unchanged
    Refused,   // the page would not let this field change now
};

FieldEdit setAsThePagesDo(EditTarget target, const TextLookup& texts, const FieldRef& field,
                          std::string_view value);

}  // namespace pl3
