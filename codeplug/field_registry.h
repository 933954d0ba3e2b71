#pragma once
// Every field of the document by the name the code uses for it ("RxFreq", "BackLamp",
// "FmPreset", ...), with an optional index ("RxFreq[80]"), so tools can read and write
// fields by name. Values are canonical, language-neutral texts: what get() returns,
// set() accepts. Each field names the image bits it reads, so a comparison can tell a
// byte difference that a field shows from one that no field interprets.

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "codeplug/channel_fields.h"
#include "codeplug/document.h"

namespace pl3 {

struct BitSpan {
    std::size_t address;
    std::uint8_t mask;
};

// The values a page shows outside the channel grid and its setting lists and boxes.
enum class PageValue { ScanList, FmPreset, PowerOnPassword, PowerOnMessage, BotCode, EotCode };
// Where a page shows a field, so that a change by name can take that page's rule:
// nowhere, a channel grid column, a setting's list or box, or another control.
using FieldPlace = std::variant<std::monostate, ChannelField, Setting, PageValue>;

struct FieldInfo {
    std::string_view name;
    int indexMin = 0;  // both 0 for a field without an index
    int indexMax = 0;
    std::string valueHelp;  // what set() accepts, for --help
    std::string (*get)(const CMaItemDoc& doc, int index);
    // The field alone, through the raw fields: no page rule, nothing recorded (a change
    // as the pages make it is editors/field_edit). false when the value is not valid for
    // the field; the document is then unchanged.
    bool (*set)(CMaItemDoc& doc, int index, std::string_view value);
    std::vector<BitSpan> (*bits)(int index);  // every bit get() reads
    bool numeric = false;                     // values are decimal integers
    FieldPlace place = {};

    bool indexed() const { return indexMin != 0 || indexMax != 0; }
};

struct FieldRef {
    const FieldInfo* info;
    int index;

    std::string name() const;  // "RxFreq[80]" or "BackLamp"
    std::string get(const CMaItemDoc& doc) const { return info->get(doc, index); }
    bool set(CMaItemDoc& doc, std::string_view value) const { return info->set(doc, index, value); }
};

const std::vector<FieldInfo>& fieldTable();

// "RxFreq[80]" or "BackLamp"; nullopt for an unknown name, a missing, superfluous or
// out-of-range index.
std::optional<FieldRef> findField(std::string_view name);

// The bits the field reads.
std::vector<BitSpan> fieldBits(const FieldRef& field);

// The first field (in table order) whose value depends on the image byte at address, or
// nullopt for a byte no field shows. The document is left as it was.
std::optional<FieldRef> fieldAt(CMaItemDoc& doc, int address);

// A decimal integer from min to max, the whole text; nullopt otherwise.
std::optional<int> parseFieldInt(std::string_view text, int min, int max);
// Whether a channel name or message of up to 6 display characters says text exactly.
bool isDisplayText(std::string_view text);
// Whether the text is a power-on password (up to 4 digits) or a DTMF code (up to 16 of
// 0-9 A-D * #), as set() takes them.
bool isPasswordText(std::string_view text);
bool isDtmfCodeText(std::string_view text);
// Whether set() takes the text for a channel frequency: a well-formed MHz text within the
// range in force (the channel page holds frequencies to it), or empty.
bool isChannelFrequencyText(const freq_range::Limits& limits, std::string_view text);

// Canonical tone text: "off", "88.5", "D023N", "D023I" (the text of the stored code).
std::string toneValueText(int code);
// A tone value as set() takes it: a tone text (any letter case, "off") or a code 0 ... 258.
std::optional<int> parseToneValue(std::string_view value);

}  // namespace pl3
