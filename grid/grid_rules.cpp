#include "grid/grid_rules.h"

#include <algorithm>

namespace pl3::grid {

CellPos moveFocus(CellPos from, FocusMove move, const DataArea& area, int pageRows) {
    if (area.empty()) return {};
    const int lastRow = area.rowCount - 1;
    const int lastColumn = area.columnCount - 1;
    if (!area.contains(from)) return {area.firstRow, area.firstColumn};

    CellPos to = from;
    const int page = std::max(pageRows, 1);
    switch (move) {
        case FocusMove::Up:
            --to.row;
            break;
        case FocusMove::Down:
            ++to.row;
            break;
        case FocusMove::Left:
            --to.column;
            break;
        case FocusMove::Right:
            ++to.column;
            break;
        case FocusMove::PageUp:
            to.row -= page;
            break;
        case FocusMove::PageDown:
            to.row += page;
            break;
        case FocusMove::RowStart:
            to.column = area.firstColumn;
            break;
        case FocusMove::RowEnd:
            to.column = lastColumn;
            break;
        case FocusMove::First:
            to = {area.firstRow, area.firstColumn};
            break;
        case FocusMove::Last:
            to = {lastRow, lastColumn};
            break;
    }
    to.row = std::clamp(to.row, area.firstRow, lastRow);
    to.column = std::clamp(to.column, area.firstColumn, lastColumn);
    return to;
}

int rowsPerPage(std::span<const int> rowHeights, int firstRow, int extent) {
    int rows = 0;
    int used = 0;
    for (int row = std::max(firstRow, 0); row < static_cast<int>(rowHeights.size()); ++row) {
        used += rowHeights[row];
        if (used > extent) break;
        ++rows;
    }
    return std::max(rows, 1);
}

int WheelAccumulator::add(int angleDelta, int linesPerNotch) {
    if ((angleDelta > 0 && pending_ < 0) || (angleDelta < 0 && pending_ > 0)) pending_ = 0;
    pending_ += angleDelta * linesPerNotch;
    const int rows = pending_ / 120;  // truncates towards zero, so both directions keep the rest
    pending_ -= rows * 120;
    return rows;
}

TextLayout textLayout(unsigned format) {
    TextLayout layout;
    layout.horizontal = (format & kFormatCentred) != 0 ? HAlign::Centre : HAlign::Left;
    layout.verticallyCentred = (format & kFormatVerticallyCentred) != 0;
    if ((format & kFormatSingleLine) != 0) {
        layout.lines = LineMode::SingleLine;
    } else if ((format & kFormatWordWrap) != 0) {
        layout.lines = LineMode::Wrap;
    }
    return layout;
}

bool mayBeginEdit(bool gridEditable, bool readOnly, bool dataCell, bool visible) {
    return gridEditable && !readOnly && dataCell && visible;
}

EditStart editStart(EditKey key, bool typedCell) {
    switch (key) {
        case EditKey::Enter:
            return EditStart::AsOpened;
        case EditKey::F2:
            return typedCell ? EditStart::AtEnd : EditStart::AsOpened;
        case EditKey::Character:
            return typedCell ? EditStart::WithTyped : EditStart::None;
    }
    return EditStart::None;
}

}  // namespace pl3::grid
