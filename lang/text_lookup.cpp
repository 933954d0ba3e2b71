#include "lang/text_lookup.h"

#include "codeplug/text_keys.h"
#include "platform/private_profile.h"

namespace pl3 {

namespace {

constexpr int kStringBuffer = 1000;
constexpr int kResourceBuffer = 1024;
// No list of the program has more than a few hundred items; a damaged file must not
// keep the lookup going for ever.
constexpr int kMaxListItems = 1024;

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string expandEscapes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == 't')) {
            out += text[i + 1] == 'n' ? '\n' : '\t';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string formatKey(std::string_view keyFormat, int n) {
    std::size_t at = keyFormat.find("%d");
    if (at == std::string_view::npos) return std::string(keyFormat);
    return std::string(keyFormat.substr(0, at)) + std::to_string(n) +
           std::string(keyFormat.substr(at + 2));
}

std::string withNumbers(std::string text, std::initializer_list<long long> numbers) {
    return withNumbers(std::move(text),
                       std::span<const long long>(numbers.begin(), numbers.size()));
}

std::string withNumbers(std::string text, std::span<const long long> numbers) {
    constexpr std::string_view kNumberMark = "%d";
    std::size_t from = 0;
    for (long long number : numbers) {
        std::size_t at = text.find(kNumberMark, from);
        if (at == std::string::npos) break;
        std::string digits = std::to_string(number);
        text.replace(at, kNumberMark.size(), digits);
        from = at + digits.size();
    }
    return text;
}

std::string withTexts(std::string text, std::initializer_list<std::string_view> texts) {
    constexpr std::string_view kTextMark = "%s";
    std::size_t from = 0;
    for (std::string_view inserted : texts) {
        std::size_t at = text.find(kTextMark, from);
        if (at == std::string::npos) break;
        text.replace(at, kTextMark.size(), inserted);
        from = at + inserted.size();
    }
    return text;
}

std::string firstCodePoints(std::string_view text, int maxChars) {
    std::size_t end = 0;
    for (int chars = 0; end < text.size() && chars < maxChars; ++chars) {
        ++end;
        while (end < text.size() && isContinuationByte(text[end]))
            ++end;
    }
    return std::string(text.substr(0, end));
}

std::string TextLookup::text(std::string_view key) const {
    return expandEscapes(
        platform::readString(path_, lang_section::kString, key, kTextNotFound, kStringBuffer));
}

std::string TextLookup::text(std::string_view key, std::string_view detail) const {
    return text(key) + std::string(detail);
}

std::vector<std::string> TextLookup::listItems(std::string_view section, int bufferLength) const {
    std::vector<std::string> items;
    for (int n = 0; n < kMaxListItems; ++n) {
        std::string item =
            platform::readString(path_, section, std::to_string(n), "", bufferLength);
        if (item.empty()) break;
        items.push_back(std::move(item));
    }
    return items;
}

std::optional<std::string> TextLookup::resourceCaption(int id) const {
    std::string caption = platform::readString(path_, lang_section::kResource, std::to_string(id),
                                               "", kResourceBuffer);
    if (caption.empty()) return std::nullopt;
    return expandEscapes(caption);
}

std::optional<std::string> TextLookup::heading(std::string_view section, std::string_view keyFormat,
                                               int n, int bufferLength) const {
    std::string value =
        platform::readString(path_, section, formatKey(keyFormat, n), "", bufferLength);
    if (value.empty()) return std::nullopt;
    return expandEscapes(value);
}

std::string TextLookup::tooltip(int toolId) const {
    if (toolId == 0) return {};
    return firstCodePoints(text(formatKey(text_key::kTooltipFormat, toolId)), kTooltipMaxChars);
}

}  // namespace pl3
