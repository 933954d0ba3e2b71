#pragma once
// Rows of cells printed in aligned columns; wide (CJK) characters count twice.

#include <ostream>
#include <string>
#include <vector>

namespace pl3::cli {

class TextTable {
  public:
    void addRow(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }
    void print(std::ostream& out, const std::string& indent = "") const;

  private:
    std::vector<std::vector<std::string>> rows_;
};

// Terminal columns a UTF-8 text takes.
int displayWidth(const std::string& text);

}  // namespace pl3::cli
