#pragma once
// The differences between two codeplugs, field by field: channel fields by channel and
// column, the radio-wide fields by name, both with the field registry's value texts; then
// the image bytes whose difference no listed field shows (bytes no field interprets, or a
// stored value both sides read the same way), as address ranges of at most one 16-byte
// line. The file headers are not compared: they hold no codeplug data.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/document.h"
#include "codeplug/field_registry.h"

namespace pl3 {

struct DiffEntry {
    enum class Kind { Field, Bytes };
    Kind kind = Kind::Field;
    // Field: its registry name ("RxFreq", "BackLamp") and, for an indexed one, its index.
    std::string_view field;
    bool indexed = false;
    int index = 0;
    int channel = 0;  // 1 ... 129 for a channel column (129: the VFO record), else 0
    // Bytes: the range, both ends inclusive.
    std::size_t firstAddress = 0;
    std::size_t lastAddress = 0;
    // Field: the values as the registry writes them ("433.07500", "D023N", "1"); Bytes:
    // the bytes in hexadecimal ("FF 00 12").
    std::string before;
    std::string after;

    // "RxFreq[80]", "BackLamp", or "0x0900-0x0903" (a single byte: "0x0900").
    std::string label() const;
    bool operator==(const DiffEntry&) const = default;
};

// The entry of one field of the registry (values left empty), as diffCodeplugs lists it.
DiffEntry fieldEntry(const FieldRef& field);

// Channel columns channel by channel in column order, then the other fields in registry
// order, then the byte ranges by address. Empty when the images are the same.
std::vector<DiffEntry> diffCodeplugs(const CMaItemDoc& before, const CMaItemDoc& after);

// One line per entry: "label: before -> after"; an empty value shows as "".
std::string formatDiffEntry(const DiffEntry& entry);

}  // namespace pl3
