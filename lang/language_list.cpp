#include "lang/language_list.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "codeplug/text_keys.h"
#include "platform/private_profile.h"
#include "platform/utf8_path.h"

namespace pl3 {

namespace {

constexpr std::string_view kLanguageExtension = ".lang";
constexpr int kDisplayNameBuffer = 100;

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

std::vector<LanguageFile> languageList(const std::string& programFolder) {
    std::vector<LanguageFile> list;
    std::error_code error;
    for (const auto& entry :
         std::filesystem::directory_iterator(platform::utf8Path(programFolder), error)) {
        std::error_code statError;
        if (entry.is_directory(statError)) continue;
        const std::filesystem::path& path = entry.path();
        if (path.extension() != kLanguageExtension) continue;
        std::string displayName =
            platform::readString(path.string(), lang_section::kFace, lang_section::kFaceDisplayName,
                                 "", kDisplayNameBuffer);
        list.push_back({path.string(), path.stem().string(),
                        displayName.empty() ? std::string(kNoDisplayName) : displayName});
    }
    std::sort(list.begin(), list.end(),
              [](const LanguageFile& a, const LanguageFile& b) { return a.path < b.path; });
    return list;
}

std::vector<LanguageFile> languageList(const std::vector<std::string>& folders) {
    std::vector<LanguageFile> list;
    for (const std::string& folder : folders) {
        for (LanguageFile& file : languageList(folder)) {
            auto same = std::find_if(list.begin(), list.end(), [&file](const LanguageFile& known) {
                return known.title == file.title;
            });
            if (same != list.end())
                *same = std::move(file);
            else
                list.push_back(std::move(file));
        }
    }
    return list;
}

const LanguageFile* findByDisplayName(const std::vector<LanguageFile>& list,
                                      std::string_view name) {
    auto it = std::find_if(list.begin(), list.end(),
                           [name](const LanguageFile& file) { return file.displayName == name; });
    return it == list.end() ? nullptr : &*it;
}

const LanguageFile* findByPath(const std::vector<LanguageFile>& list, std::string_view path) {
    auto it = std::find_if(list.begin(), list.end(), [path](const LanguageFile& file) {
        return equalsIgnoringCase(file.path, path);
    });
    return it == list.end() ? nullptr : &*it;
}

}  // namespace pl3
