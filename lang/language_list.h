#pragma once
// The installed languages: every "*.lang" file in the program folder, and the user's own.

#include <string>
#include <string_view>
#include <vector>

namespace pl3 {

inline constexpr std::string_view kNoDisplayName = "-----";

struct LanguageFile {
    std::string path;         // full path
    std::string title;        // file name without ".lang": the value stored as "language"
    std::string displayName;  // "Face"/"disp", or "-----"
};

// In file-name order, directories skipped.
std::vector<LanguageFile> languageList(const std::string& programFolder);
// The languages of several folders: a file of a later folder replaces an earlier one of the
// same title in its place; new titles follow in file-name order.
std::vector<LanguageFile> languageList(const std::vector<std::string>& folders);

// The first file whose display name equals name exactly (case-sensitive), or nullptr.
const LanguageFile* findByDisplayName(const std::vector<LanguageFile>& list, std::string_view name);

// The entry whose path equals path, compared without regard to case, or nullptr.
const LanguageFile* findByPath(const std::vector<LanguageFile>& list, std::string_view path);

}  // namespace pl3
