#pragma once
// A fresh directory for one test, removed with everything in it afterwards.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pl3::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // Joined as the system joins names (a backslash on Windows).
    std::string file(const std::string& name) const {
        return (std::filesystem::path(path_) / name).string();
    }

    // Writes a file inside the directory and returns its full path.
    std::string write(const std::string& name, const std::string& text) const;
    std::string writeBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

  private:
    std::string path_;
};

std::string readText(const std::string& path);
std::vector<std::uint8_t> readBytes(const std::string& path);

}  // namespace pl3::test
