#pragma once
// The program's texts are UTF-8 std::strings; Qt wants QStrings.

#include <QString>
#include <string>

namespace pl3 {

inline QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace pl3
