#pragma once
// Why a serial port could not be opened, told in the user's language with the device
// path: "the radio does not respond" alone would hide a missing device, a port another
// program holds, or one the user may not open.

#include <string>

#include "lang/text_lookup.h"
#include "platform/serial_device.h"

namespace pl3::link {

struct PortOpenProblem {
    platform::SerialOpenFailure failure;
    std::string devicePath;  // empty when the port number has no device
    bool operator==(const PortOpenProblem&) const = default;
};

// The message for the problem. Permission advice names the device's group only when it
// is one a user joins for serial devices; a device that only root may open gets the
// dialout/uucp convention and a udev rule instead.
std::string describeOpenProblem(const PortOpenProblem& problem, const TextLookup& texts);

// Whether a search should remember this failure: a device that exists but cannot be
// used. Numbers without a device are the search's everyday case.
bool worthTelling(const platform::SerialOpenFailure& failure);

}  // namespace pl3::link
