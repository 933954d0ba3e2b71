#include "codeplug/radio_tuning.h"

#include <algorithm>

namespace pl3 {

namespace {

constexpr auto kTuningStart = static_cast<std::ptrdiff_t>(layout::kTestData);

}  // namespace

TuningBlock tuningBlockOf(const Image& image) {
    TuningBlock tuning{};
    std::copy_n(image.begin() + kTuningStart, tuning.size(), tuning.begin());
    return tuning;
}

void putTuningBlock(Image& image, const TuningBlock& tuning) {
    std::copy(tuning.begin(), tuning.end(), image.begin() + kTuningStart);
}

bool holdsNoTuning(const TuningBlock& tuning) {
    auto all = [&](std::uint8_t value) {
        return std::all_of(tuning.begin(), tuning.end(),
                           [=](std::uint8_t b) { return b == value; });
    };
    return all(0xFF) || all(0x00);
}

TuningTaken takeRadioTuning(CMaItemDoc& doc, const TuningBlock& radio) {
    if (holdsNoTuning(radio)) return TuningTaken::RadioHoldsNone;
    if (tuningBlockOf(doc.image()) == radio) return TuningTaken::Same;
    putTuningBlock(doc.rawFields().image(), radio);
    doc.markEdited();
    return TuningTaken::Taken;
}

}  // namespace pl3
