#include "grid/grid_rules.h"

#include <algorithm>
#include <optional>

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

HeadingLines headingLines(std::string_view text, double width, const TextWidth& measure) {
    HeadingLines heading;
    for (std::size_t from = 0;;) {
        const std::size_t end = text.find('\n', from);
        heading.lines.emplace_back(text.substr(from, end - from));
        if (end == std::string_view::npos) break;
        from = end + 1;
    }
    if (heading.lines.size() == 1 && measure(text) > width) {
        std::optional<double> narrowest;
        for (std::size_t offset : lineBreakOffsets(text)) {
            const std::string_view first = withoutOuterBlanks(text.substr(0, offset));
            const std::string_view second = withoutOuterBlanks(text.substr(offset));
            if (first.empty() || second.empty()) continue;
            const double wider = std::max(measure(first), measure(second));
            if (narrowest && wider >= *narrowest) continue;
            narrowest = wider;
            heading.lines = {std::string(first), std::string(second)};
        }
        if (narrowest && *narrowest > width) heading.lines = wrapLine(text, width, measure);
    }
    double widest = 0;
    for (const std::string& line : heading.lines)
        widest = std::max(widest, measure(line));
    if (width > 0 && widest > width) heading.scale = std::max(kSmallestTextScale, width / widest);
    return heading;
}

}  // namespace pl3::grid
