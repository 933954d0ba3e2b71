#pragma once
// Which bits of the image each field of the registry reads. A comparison uses it to tell
// a byte difference that a field shows from one that no field interprets.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "codeplug/field_registry.h"

namespace pl3 {

struct BitSpan {
    std::size_t address;
    std::uint8_t mask;
};

// The bits the field reads; empty for a field this table does not know (its bytes then
// count as uninterpreted, which shows a difference twice rather than hiding it).
std::vector<BitSpan> fieldBits(const FieldRef& field);

}  // namespace pl3
