#include "interchange/channel_names.h"

#include <algorithm>
#include <set>

#include "codeplug/image_layout.h"
#include "codeplug/text_codes.h"

namespace pl3::interchange {

namespace {

constexpr std::size_t kNameSize = layout::kDisplayTextSize;
// Characters that set a number apart from the words before it.
constexpr std::string_view kSeparators = " -_";
// A longer run of digits is no channel number (a frequency, say): it is cut like words.
constexpr std::size_t kMaxKeptDigits = 3;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isDisplayChar(char c) {
    return text_codes::encodeDisplayText(std::string_view(&c, 1))[0] != kErased;
}

// A name split before its trailing number: "PMR446", " ", "16".
struct NumberedName {
    std::string stem;
    std::string separator;
    std::string number;
};

NumberedName splitNumber(const std::string& name) {
    std::size_t digits = name.size();
    while (digits > 0 && isDigit(name[digits - 1]))
        --digits;
    NumberedName split{name.substr(0, digits), "", name.substr(digits)};
    if (!split.stem.empty() && kSeparators.find(split.stem.back()) != std::string_view::npos) {
        split.separator = split.stem.back();
        split.stem.pop_back();
    }
    return split;
}

std::string withoutTrailingBlanks(std::string text) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

// How the names with a number keep it: after the blank or dash before it, right after
// the words, or not at all (cut like any name). The first that keeps them apart is used.
enum class Keeping { WithSeparator, WithoutSeparator, Cut };

// As much of the stem as leaves room for the longest number, then the number.
std::string keepingNumber(const NumberedName& name, std::size_t longestNumber, bool withSeparator) {
    const std::string separator = withSeparator ? name.separator : "";
    const std::size_t room = kNameSize - longestNumber - separator.size();
    return withoutTrailingBlanks(name.stem.substr(0, room)) + separator + name.number;
}

// Names with the same words before their number, which keep room for the same number
// length; empty for a name without a channel number.
std::string family(const NumberedName& name) {
    if (name.number.empty() || name.number.size() > kMaxKeptDigits) return {};
    return name.stem + name.separator + "#";
}

std::string numbered(const std::string& name, int number) {
    const std::string digits = std::to_string(number);
    return withoutTrailingBlanks(name.substr(0, kNameSize - digits.size())) + digits;
}

}  // namespace

std::string displayCharacters(std::string_view name) {
    std::string shown;
    for (char c : name) {
        if (isDisplayChar(c)) shown += upper(c);
    }
    return shown;
}

ShortNames shortNames(const std::vector<std::string>& displayNames) {
    ShortNames shortened;
    std::set<std::string> taken;
    std::vector<std::string> longNames;
    for (const std::string& name : displayNames) {
        if (shortened.count(name) != 0) continue;
        if (name.size() <= kNameSize) {
            shortened[name] = name;
            taken.insert(name);
        } else {
            shortened[name] = {};
            longNames.push_back(name);
        }
    }

    // Names beginning alike keep room for the longest number among them.
    std::map<std::string, std::size_t> longestNumber;
    for (const std::string& name : longNames) {
        const NumberedName split = splitNumber(name);
        if (family(split).empty()) continue;
        std::size_t& longest = longestNumber[family(split)];
        longest = std::max(longest, split.number.size());
    }
    auto shortenedWith = [&](const std::string& name, Keeping keeping) {
        const NumberedName split = splitNumber(name);
        if (keeping == Keeping::Cut || family(split).empty()) return name.substr(0, kNameSize);
        return keepingNumber(split, longestNumber[family(split)],
                             keeping == Keeping::WithSeparator);
    };
    auto keepsApart = [&](Keeping keeping) {
        std::set<std::string> made;
        for (const std::string& name : longNames) {
            if (family(splitNumber(name)).empty()) continue;
            const std::string shortName = shortenedWith(name, keeping);
            if (taken.count(shortName) != 0 || !made.insert(shortName).second) return false;
        }
        return true;
    };
    Keeping keeping = Keeping::WithSeparator;
    for (Keeping tried : {Keeping::WithSeparator, Keeping::WithoutSeparator, Keeping::Cut}) {
        if (keepsApart(tried)) {
            keeping = tried;
            break;
        }
    }

    // What still meets is numbered.
    std::map<std::string, int> uses;
    for (const std::string& name : longNames) {
        shortened[name] = shortenedWith(name, keeping);
        ++uses[shortened[name]];
    }
    std::map<std::string, int> nextNumber;  // by the name the numbered ones met at
    for (const std::string& name : longNames) {
        std::string& shortName = shortened[name];
        if (uses[shortName] == 1 && taken.count(shortName) == 0) {
            taken.insert(shortName);
            continue;
        }
        int& next = nextNumber.try_emplace(shortName, 1).first->second;
        while (taken.count(numbered(name, next)) != 0 || uses.count(numbered(name, next)) != 0)
            ++next;
        shortName = numbered(name, next++);
        taken.insert(shortName);
    }
    return shortened;
}

}  // namespace pl3::interchange
