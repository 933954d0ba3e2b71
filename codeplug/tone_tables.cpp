#include "codeplug/tone_tables.h"

#include <cctype>

namespace pl3::tone {

namespace {

constexpr std::array<std::string_view, kCtcssCount> kCtcss = {
    "67.0",  "69.3",  "71.9",  "74.4",  "77.0",  "79.7",  "82.5",  "85.4",  "88.5",  "91.5",
    "94.8",  "97.4",  "100.0", "103.5", "107.2", "110.9", "114.8", "118.8", "123.0", "127.3",
    "131.8", "136.5", "141.3", "146.2", "151.4", "156.7", "159.8", "162.2", "165.5", "167.9",
    "171.3", "173.8", "177.3", "179.9", "183.5", "186.2", "189.9", "192.8", "196.6", "199.5",
    "203.5", "206.5", "210.7", "218.1", "225.7", "229.1", "233.6", "241.8", "250.3", "254.1"};

#define PL3_DCS_CODES(S)                                                                          \
    "D023" S, "D025" S, "D026" S, "D031" S, "D032" S, "D036" S, "D043" S, "D047" S, "D051" S,     \
        "D053" S, "D054" S, "D065" S, "D071" S, "D072" S, "D073" S, "D074" S, "D114" S, "D115" S, \
        "D116" S, "D122" S, "D125" S, "D131" S, "D132" S, "D134" S, "D143" S, "D145" S, "D152" S, \
        "D155" S, "D156" S, "D162" S, "D165" S, "D172" S, "D174" S, "D205" S, "D212" S, "D223" S, \
        "D225" S, "D226" S, "D243" S, "D244" S, "D245" S, "D246" S, "D251" S, "D252" S, "D255" S, \
        "D261" S, "D263" S, "D265" S, "D266" S, "D271" S, "D274" S, "D306" S, "D311" S, "D315" S, \
        "D325" S, "D331" S, "D332" S, "D343" S, "D346" S, "D351" S, "D356" S, "D364" S, "D365" S, \
        "D371" S, "D411" S, "D412" S, "D413" S, "D423" S, "D431" S, "D432" S, "D445" S, "D446" S, \
        "D452" S, "D454" S, "D455" S, "D462" S, "D464" S, "D465" S, "D466" S, "D503" S, "D506" S, \
        "D516" S, "D523" S, "D526" S, "D532" S, "D546" S, "D565" S, "D606" S, "D612" S, "D624" S, \
        "D627" S, "D631" S, "D632" S, "D654" S, "D662" S, "D664" S, "D703" S, "D712" S, "D723" S, \
        "D731" S, "D732" S, "D734" S, "D743" S, "D754" S

constexpr std::array<std::string_view, kDcsCount> kDcsNormal = {PL3_DCS_CODES("N")};
constexpr std::array<std::string_view, kDcsCount> kDcsInverted = {PL3_DCS_CODES("I")};

#undef PL3_DCS_CODES

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace

const std::array<std::string_view, kCtcssCount>& ctcssTable() {
    return kCtcss;
}
const std::array<std::string_view, kDcsCount>& dcsNormalTable() {
    return kDcsNormal;
}
const std::array<std::string_view, kDcsCount>& dcsInvertedTable() {
    return kDcsInverted;
}

int codeOf(Field field) {
    switch (field.kind) {
        case kKindCtcss:
            return field.index + kFirstCtcss;
        case kKindDcsNormal:
            return field.index + kFirstDcsNormal;
        case kKindDcsInverted:
            return field.index + kFirstDcsInverted;
        default:
            return kOff;
    }
}

Field fieldOf(int code) {
    if (code <= kOff) return {0xFF, kKindOff};
    if (code < kFirstDcsNormal) return {static_cast<std::uint8_t>(code - kFirstCtcss), kKindCtcss};
    if (code < kFirstDcsInverted)
        return {static_cast<std::uint8_t>(code - kFirstDcsNormal), kKindDcsNormal};
    return {static_cast<std::uint8_t>(code - kFirstDcsInverted), kKindDcsInverted};
}

std::optional<std::string_view> tableText(int code) {
    if (code >= kFirstCtcss && code < kFirstDcsNormal) return kCtcss[code - kFirstCtcss];
    if (code >= kFirstDcsNormal && code < kFirstDcsInverted)
        return kDcsNormal[code - kFirstDcsNormal];
    if (code >= kFirstDcsInverted && code <= kMaxCode)
        return kDcsInverted[code - kFirstDcsInverted];
    return std::nullopt;
}

std::optional<std::string_view> displayText(Field field) {
    bool dcs = (field.kind >> kKindBitDcs) & 1;
    bool inverted = (field.kind >> kKindBitInverted) & 1;
    if (field.index < kCtcssCount && !dcs) return kCtcss[field.index];
    if (field.index < kDcsCount)
        return inverted ? kDcsInverted[field.index] : kDcsNormal[field.index];
    return std::nullopt;
}

std::optional<int> codeOfText(std::string_view text) {
    for (int code = kFirstCtcss; code <= kMaxCode; ++code) {
        if (equalsIgnoringCase(*tableText(code), text)) return code;
    }
    return std::nullopt;
}

}  // namespace pl3::tone
