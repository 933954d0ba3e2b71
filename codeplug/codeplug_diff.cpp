#include "codeplug/codeplug_diff.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "codeplug/field_registry.h"

namespace pl3 {

namespace {

constexpr std::size_t kLineSize = 16;

bool isChannelColumn(const FieldInfo& info) {
    return info.indexMin == 1 && (info.indexMax == kChannelCount || info.indexMax == kVfoRecord);
}

std::string hexAddress(std::size_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04zX", address);
    return text;
}

std::string hexBytes(const Image& image, std::size_t first, std::size_t last) {
    std::string text;
    for (std::size_t a = first; a <= last; ++a) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02X", image[a]);
        if (!text.empty()) text += ' ';
        text += byte;
    }
    return text;
}

DiffEntry byteRange(const Image& before, const Image& after, std::size_t first, std::size_t last) {
    DiffEntry entry;
    entry.kind = DiffEntry::Kind::Bytes;
    entry.firstAddress = first;
    entry.lastAddress = last;
    entry.before = hexBytes(before, first, last);
    entry.after = hexBytes(after, first, last);
    return entry;
}

}  // namespace

std::string DiffEntry::label() const {
    if (kind == Kind::Bytes) {
        std::string text = hexAddress(firstAddress);
        if (lastAddress != firstAddress) text += "-" + hexAddress(lastAddress);
        return text;
    }
    std::string text(field);
    if (indexed) text += "[" + std::to_string(index) + "]";
    return text;
}

DiffEntry fieldEntry(const FieldRef& field) {
    DiffEntry entry;
    entry.field = field.info->name;
    entry.indexed = field.info->indexed();
    entry.index = field.index;
    entry.channel = isChannelColumn(*field.info) ? field.index : 0;
    return entry;
}

std::vector<DiffEntry> diffCodeplugs(const CMaItemDoc& before, const CMaItemDoc& after) {
    std::vector<DiffEntry> channels;
    std::vector<DiffEntry> others;
    // The bits that some listed field shows changed.
    std::array<std::uint8_t, kImageSize> shown{};
    for (const FieldInfo& info : fieldTable()) {
        for (int index = info.indexMin; index <= info.indexMax; ++index) {
            FieldRef ref{&info, index};
            std::string was = ref.get(before);
            std::string is = ref.get(after);
            if (was == is) continue;
            for (const BitSpan& span : fieldBits(ref))
                shown[span.address] |= span.mask;
            DiffEntry entry = fieldEntry(ref);
            entry.before = std::move(was);
            entry.after = std::move(is);
            (entry.channel != 0 ? channels : others).push_back(std::move(entry));
        }
    }
    // The registry lists a column for every channel before the next column.
    std::stable_sort(channels.begin(), channels.end(),
                     [](const DiffEntry& x, const DiffEntry& y) { return x.channel < y.channel; });

    std::vector<DiffEntry> entries = std::move(channels);
    entries.insert(entries.end(), std::make_move_iterator(others.begin()),
                   std::make_move_iterator(others.end()));

    const Image& a = before.image();
    const Image& b = after.image();
    // Runs of unshown differences, cut at each 16-byte line.
    std::size_t first = 0;
    bool inRun = false;
    for (std::size_t address = 0; address <= kImageSize; ++address) {
        bool unshown = address < kImageSize && ((a[address] ^ b[address]) & ~shown[address]) != 0;
        if (inRun && (!unshown || address % kLineSize == 0)) {
            entries.push_back(byteRange(a, b, first, address - 1));
            inRun = false;
        }
        if (unshown && !inRun) {
            first = address;
            inRun = true;
        }
    }
    return entries;
}

std::string formatDiffEntry(const DiffEntry& entry) {
    auto shown = [](const std::string& value) { return value.empty() ? "\"\"" : value; };
    return entry.label() + ": " + shown(entry.before) + " -> " + shown(entry.after);
}

}  // namespace pl3
