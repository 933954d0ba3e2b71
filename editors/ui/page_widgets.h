#pragma once
// Small widget builders the settings pages share: captioned controls that carry their
// identifier for translation, and a drop-down list refilled without reporting changes.

#include <string>
#include <vector>

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QWidget;

namespace pl3 {

// A label or group box with its built-in caption and its identifier.
QLabel* captionLabel(int id, const char* caption, QWidget* parent);
QGroupBox* captionGroup(int id, const char* caption, QWidget* parent);

// A caption in column 0 and its control in column 1 of a grid row; the caption names the
// control (its buddy).
void addCaptionedRow(QGridLayout* grid, int row, QLabel* caption, QWidget* control);

// Replaces the items and selects one (-1 for none), without emitting selection signals.
void fillList(QComboBox* list, const std::vector<std::string>& items, int selected);

}  // namespace pl3
