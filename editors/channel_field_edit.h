#pragma once
// A named channel field set from a text value (pl3ctl set) goes through the channel
// rules like an edit on the channel page: a new channel gets its transmit frequency,
// an emptied receive frequency empties the channel, fixed channels keep their
// frequencies. Fields that have no column on the page are not handled here.

#include <string_view>

#include "codeplug/field_registry.h"
#include "editors/channel_rules.h"

namespace pl3 {

enum class ChannelFieldEdit {
    NotAColumn,  // not one of the page's channel columns; set the field itself
    Done,
    BadValue,  // the text is not a value of the field; the image is unchanged
    Refused,   // the page would not let this field of the channel change now
};

ChannelFieldEdit setThroughChannelRules(ChannelRules& rules, const FieldRef& field,
                                        std::string_view value);

}  // namespace pl3
