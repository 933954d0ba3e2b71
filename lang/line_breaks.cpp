#include "lang/line_breaks.h"

namespace pl3 {

namespace {

// Chinese, Japanese and Korean text, full-width marks included.
constexpr char32_t kFirstCjkCodePoint = 0x2E80;

// Marks that close what went before: a line never starts with one.
constexpr std::u32string_view kNoLineStart = U")]}>,.:;!?%/）】」』》〉，。、：；！？／";
// Marks that open what follows: a line never ends with one.
constexpr std::u32string_view kNoLineEnd = U"([{<（【「『《〈";

constexpr std::string_view kBlanks = " \t";

struct CodePoint {
    char32_t value;
    std::size_t offset;  // of its first byte
};

// A byte that starts no valid sequence stands for itself.
std::vector<CodePoint> codePoints(std::string_view text) {
    std::vector<CodePoint> points;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t value = length == 1 ? lead : lead & (0x3F >> (length - 1));
        bool valid = length == 1 || i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            value = (value << 6) | (next & 0x3F);
        }
        points.push_back({valid ? value : lead, i});
        i += valid ? length : 1;
    }
    return points;
}

bool isCjk(char32_t c) {
    return c >= kFirstCjkCodePoint;
}

bool isBlank(char32_t c) {
    return c == U' ' || c == U'\t';
}

}  // namespace

std::vector<std::size_t> lineBreakOffsets(std::string_view utf8) {
    const std::vector<CodePoint> points = codePoints(utf8);
    std::vector<std::size_t> offsets;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const char32_t before = points[i - 1].value;
        const char32_t after = points[i].value;
        if (isBlank(after)) continue;
        if (kNoLineStart.find(after) != std::u32string_view::npos) continue;
        if (kNoLineEnd.find(before) != std::u32string_view::npos) continue;
        if (isBlank(before) || isCjk(before) || isCjk(after)) offsets.push_back(points[i].offset);
    }
    return offsets;
}

int textColumns(std::string_view utf8) {
    int columns = 0;
    for (const CodePoint& point : codePoints(utf8))
        columns += isCjk(point.value) ? 2 : 1;
    return columns;
}

std::string_view withoutOuterBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::vector<std::string> wrapLine(std::string_view utf8, double width, const TextWidth& measure) {
    std::vector<std::size_t> breaks = lineBreakOffsets(utf8);
    breaks.push_back(utf8.size());
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t fitting = 0;  // the last break that fits the line begun at start
    for (std::size_t candidate : breaks) {
        const bool fits =
            measure(withoutOuterBlanks(utf8.substr(start, candidate - start))) <= width;
        if (!fits && fitting > start) {
            lines.emplace_back(withoutOuterBlanks(utf8.substr(start, fitting - start)));
            start = fitting;
        }
        fitting = candidate;
    }
    lines.emplace_back(withoutOuterBlanks(utf8.substr(start)));
    return lines;
}

std::string wrapText(std::string_view utf8, int columns) {
    const TextWidth inColumns = [](std::string_view text) { return double(textColumns(text)); };
    std::string wrapped;
    for (std::size_t from = 0;;) {
        const std::size_t end = utf8.find('\n', from);
        for (const std::string& line : wrapLine(utf8.substr(from, end - from), columns, inColumns))
            wrapped += line + '\n';
        if (end == std::string_view::npos) break;
        from = end + 1;
    }
    wrapped.pop_back();
    return wrapped;
}

}  // namespace pl3
