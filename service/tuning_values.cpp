#include "service/tuning_values.h"

#include <algorithm>
#include <climits>

namespace pl3::service {

namespace {

constexpr int kSquelchValues = 3;

}  // namespace

int boxNumber(std::string_view text) {
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = std::min<long long>(value * 10 + (c - '0'), INT_MAX);
    }
    return static_cast<int>(value);
}

int stepBox(std::string_view text, int direction, ValueLimits limits) {
    // Widened, so that stepping the largest int up cannot overflow.
    long long value = boxNumber(text);
    if (direction > 0) {
        value += 1;
        if (value > limits.upper) value = limits.lower;
    } else if (direction < 0) {
        value -= 1;
        if (value < limits.lower) value = limits.upper;
    }
    // Also after an arrow: a typed 300 stepped down is 299, which no byte of a 0 ... 255
    // box may hold.
    return static_cast<int>(std::clamp<long long>(value, limits.lower, limits.upper));
}

int boxValue(const CMaItemDoc& doc, const TuningBox& box) {
    if (box.index < kSquelchValues) return doc.fields().tuneSquelch3(box.index);
    return doc.fields().tuningValue(box.index - kSquelchValues);
}

void storeBoxValue(CMaItemDoc& doc, const TuningBox& box, int value) {
    if (box.index < kSquelchValues) {
        doc.rawFields().setTuneSquelch3(box.index, value);
    } else {
        doc.rawFields().setTuningValue(box.index - kSquelchValues, value);
    }
}

}  // namespace pl3::service
