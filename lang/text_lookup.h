#pragma once
// Texts by key from the current language file, read at the moment of use: a language
// change takes effect at the next lookup. A missing or unreadable file behaves like a
// file with no keys.

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pl3 {

inline constexpr std::string_view kTextNotFound = "Not Found";
inline constexpr int kTooltipMaxChars = 19;

class TextLookup {
  public:
    explicit TextLookup(std::string languageFilePath) : path_(std::move(languageFilePath)) {}

    const std::string& languageFilePath() const { return path_; }
    void setLanguageFilePath(std::string path) { path_ = std::move(path); }

    // "String"/key with \n and \t expanded, or "Not Found".
    std::string text(std::string_view key) const;

    // The looked-up text followed by detail (a path or value shown after it).
    std::string text(std::string_view key, std::string_view detail) const;

    // Keys "0", "1", ... of a list section until the first missing or empty one.
    std::vector<std::string> listItems(std::string_view section, int bufferLength = 30) const;

    // "Resource"/id: the caption of a dialog template or of every control with that
    // identifier; nullopt when missing.
    std::optional<std::string> resourceCaption(int id) const;

    // A column heading: key made from keyFormat ("IDS_ChText%d") and n; nullopt when missing.
    std::optional<std::string> heading(std::string_view section, std::string_view keyFormat, int n,
                                       int bufferLength = 30) const;

    // "IDS_TIP_%d" for a tool's identifier, cut to 19 characters; empty for identifier 0.
    std::string tooltip(int toolId) const;

  private:
    std::string path_;
};

// Replaces the two-character escapes backslash-n and backslash-t.
std::string expandEscapes(std::string_view text);

// Formats "...%d..." keys with a number.
std::string formatKey(std::string_view keyFormat, int n);

// A looked-up text with its "%d" marks replaced by the numbers, in order.
std::string withNumbers(std::string text, std::span<const long long> numbers);
std::string withNumbers(std::string text, std::initializer_list<long long> numbers);

// A looked-up text with its "%s" marks replaced by the texts, in order.
std::string withTexts(std::string text, std::initializer_list<std::string_view> texts);

// The first maxChars UTF-8 code points of text.
std::string firstCodePoints(std::string_view text, int maxChars);

}  // namespace pl3
