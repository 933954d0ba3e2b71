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

bool takeRadioTuning(CMaItemDoc& doc, const TuningBlock& radio) {
    if (tuningBlockOf(doc.image()) == radio) return false;
    putTuningBlock(doc.image(), radio);
    doc.markEdited();
    return true;
}

}  // namespace pl3
