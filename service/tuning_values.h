#pragma once
// The sixteen tuning values of the tuning dialog: where each lives in the test-data block,
// its limits, its value box and row, and the stepping rule of the boxes (arrows wrap
// round, leaving a box clamps).

#include <array>
#include <string_view>

#include "codeplug/document.h"

namespace pl3::service {

struct ValueLimits {
    int lower;
    int upper;
};

enum class Column { Left, Right };

struct TuningBox {
    int index;      // byte index in the test-data block (image 0x08E0 + index)
    int controlId;  // the value box
    int captionId;  // the caption of its row
    ValueLimits limits;
    Column column;
    int row;
};

inline constexpr ValueLimits kSquelchLimits{0, 127};
inline constexpr ValueLimits kBatteryLimits{1, 255};
inline constexpr ValueLimits kByteLimits{0, 255};
inline constexpr int kTuningRows = 8;

// In test-data block order.
inline constexpr std::array<TuningBox, 16> kTuningBoxes = {{
    {0, 1163, 1400, kSquelchLimits, Column::Left, 5},
    {1, 1166, 1401, kSquelchLimits, Column::Left, 6},
    {2, 1169, 1402, kSquelchLimits, Column::Left, 7},
    {3, 1190, 1403, kByteLimits, Column::Right, 0},
    {4, 1210, 1404, kByteLimits, Column::Right, 1},
    {5, 1193, 1405, kByteLimits, Column::Right, 2},
    {6, 1213, 1406, kByteLimits, Column::Right, 3},
    {7, 1196, 1407, kByteLimits, Column::Right, 4},
    {8, 1181, 1408, kByteLimits, Column::Left, 0},
    {9, 1204, 1409, kByteLimits, Column::Left, 1},
    {10, 1184, 1410, kByteLimits, Column::Left, 2},
    {11, 1207, 1411, kByteLimits, Column::Left, 3},
    {12, 1187, 1412, kByteLimits, Column::Left, 4},
    {13, 1172, 1413, kBatteryLimits, Column::Right, 5},
    {14, 1175, 1414, kByteLimits, Column::Right, 6},
    {15, 1178, 1415, kByteLimits, Column::Right, 7},
}};

// A box's text as a number: its leading digits (the box takes no other characters),
// 0 when there are none; a number too large for an int reads as the largest int.
int boxNumber(std::string_view text);

// Steps the text of a box by direction (-1 down, +1 up, 0 = clamp when leaving it):
// up past the upper limit wraps to the lower one, down past the lower limit wraps to
// the upper one, and 0 brings the value into the limits. A result still outside the
// limits (a typed number too large, stepped down) is clamped as well. Returns the value
// to show and store.
int stepBox(std::string_view text, int direction, ValueLimits limits);

// The value a box shows (a squelch byte above 127 reads as 127), and storing one. Service
// mode writes the tuning bytes around the page rules; the main window makes the whole
// visit one edit.
int boxValue(const CMaItemDoc& doc, const TuningBox& box);
void storeBoxValue(CMaItemDoc& doc, const TuningBox& box, int value);

}  // namespace pl3::service
