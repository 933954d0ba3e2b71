#include "view/printout_plan.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <numeric>
#include <sstream>
#include <stdexcept>

#include "editors/radio_page_rules.h"
#include "grid/grid_rules.h"
#include "platform/local_time.h"

namespace pl3::printout {

namespace {

// The first programmed-channel count of pages 1 ... 5; page 5 takes the rest.
constexpr int kFirstOrdinals[kMaxPages] = {1, 21, 51, 81, 111};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x110000) {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

OrdinalRange ordinalsOnPage(int page) {
    const int index = std::clamp(page, 1, kMaxPages) - 1;
    const int last = index + 1 < kMaxPages ? kFirstOrdinals[index + 1] - 1 : INT_MAX;
    return {kFirstOrdinals[index], last};
}

int pageCount(int programmedChannels) {
    int pages = 1;
    while (pages < kMaxPages && programmedChannels >= kFirstOrdinals[pages])
        ++pages;
    return pages;
}

std::vector<int> programmedChannels(const ChannelTable::Rows& rows) {
    std::vector<int> channels;
    for (int row = 1; row < ChannelTable::kRowCount; ++row) {
        if (!rows[row][ChannelTable::kRxFreqColumn].text.empty()) channels.push_back(row);
    }
    return channels;
}

std::vector<int> channelsOnPage(const std::vector<int>& programmed, int page) {
    const OrdinalRange range = ordinalsOnPage(page);
    std::vector<int> channels;
    for (std::size_t i = 0; i < programmed.size(); ++i) {
        const int ordinal = static_cast<int>(i) + 1;
        if (ordinal >= range.first && ordinal <= range.last) channels.push_back(programmed[i]);
    }
    return channels;
}

LogicalPage logicalPage(int gridWidth, int averageCharWidth, int printerWidth, int printerHeight) {
    const int width = gridWidth + (kLeftMarginChars + kRightMarginChars) * averageCharWidth;
    if (printerWidth <= 0) return {width, 0};
    const std::int64_t height = static_cast<std::int64_t>(width) * printerHeight / printerWidth;
    return {width, static_cast<int>(height)};
}

std::string dateLine(const std::tm& time, const std::locale& locale) {
    // Wide characters keep the weekday name whole whatever the locale's own encoding is.
    std::wostringstream stream;
    stream.imbue(locale);
    const std::wstring format(kDateFormat,
                              kDateFormat + std::char_traits<char>::length(kDateFormat));
    std::use_facet<std::time_put<wchar_t>>(locale).put(std::ostreambuf_iterator<wchar_t>(stream),
                                                       stream, L' ', &time, format.data(),
                                                       format.data() + format.size());
    std::string text;
    for (wchar_t c : stream.str())
        appendUtf8(text, static_cast<char32_t>(c));
    return text;
}

std::string currentDateLine() {
    const std::time_t now = std::time(nullptr);
    const std::tm local = platform::localTime(now);
    std::locale system = std::locale::classic();
    try {
        system = std::locale("");
    } catch (const std::runtime_error&) {
        // A locale the environment names but the machine lacks: the weekday stays English.
    }
    return dateLine(local, system);
}

int entryStep(int textWidth) {
    return std::max(kMinEntryStep, textWidth / kEntriesPerRow);
}

std::vector<PrintItem> composePage(const PageInput& input, int page) {
    std::vector<PrintItem> items;
    items.push_back({PrintItem::Kind::Text, 0, 0, input.dateLine, input.textWidth});
    int y = input.headingHeight;
    const int step = entryStep(input.textWidth);
    auto addSection = [&](const page_rules::PrintRows& rows) {
        for (const std::vector<std::string>& row : rows) {
            const int entries = std::min(static_cast<int>(row.size()), kEntriesPerRow);
            for (int i = 0; i < entries; ++i) {
                const int x = i * step;
                const int room = i + 1 < kEntriesPerRow ? step : input.textWidth - x;
                items.push_back({PrintItem::Kind::Text, x, y, row[static_cast<std::size_t>(i)],
                                 std::max(room, 0)});
            }
            y += input.lineStep;
        }
    };
    if (page == 1) {
        addSection(input.functionRows);
        addSection(input.radioRows);
    }
    items.push_back({PrintItem::Kind::Headings, 0, y, {}, 0});
    // The space under the headings differs by page, as the report has always been laid out.
    y += page <= 3 ? input.headingHeight - 20 : input.headingHeight;
    bool first = true;
    for (int channel : channelsOnPage(input.programmed, page)) {
        if (!(page == kMaxPages && first)) y += input.lineStep;
        first = false;
        items.push_back({PrintItem::Kind::ChannelRow, 0, y, {}, 0, channel});
    }
    return items;
}

int ChannelGridPrint::totalWidth() const {
    return std::accumulate(columnWidths.begin(), columnWidths.end(), 0);
}

ChannelGridPrint channelGrid(const ChannelTable::Rows& rows) {
    ChannelGridPrint grid;
    grid.columnWidths.assign(ChannelTable::kColumnWidths.begin(),
                             ChannelTable::kColumnWidths.end());
    for (int row = 0; row < ChannelTable::kRowCount; ++row) {
        const bool heading = row == 0;
        GridRowPrint& printed = grid.rows.emplace_back(
            GridRowPrint{heading ? ChannelTable::kHeaderRowHeight : ChannelTable::kRowHeight, {}});
        for (int column = 0; column < ChannelTable::kColumnCount; ++column) {
            const ChannelTable::Cell& cell = rows[row][column];
            const bool fixed = heading || column == ChannelTable::kNumberColumn;
            printed.cells.push_back({cell.text, heading ? grid::kHeaderFormat : grid::kCellFormat,
                                     fixed, !fixed && cell.readOnly});
        }
    }
    return grid;
}

PrintPlan makePrintPlan(const CMaItemDoc& doc, const TextLookup& texts, std::string dateLine) {
    ScratchImage shown(doc.fields(), doc.limits());
    ChannelRules rules(shown.target());
    const ChannelTable::Rows rows = ChannelTable::rowsOf(rules, texts);
    PrintPlan plan{{std::move(dateLine), FunctionsPageRules(shown.target(), texts).printRows(),
                    RadioPageRules(shown.target(), texts).printRows(), programmedChannels(rows),
                    ChannelTable::kHeaderRowHeight, ChannelTable::kRowHeight, 0},
                   channelGrid(rows)};
    return plan;
}

}  // namespace pl3::printout
