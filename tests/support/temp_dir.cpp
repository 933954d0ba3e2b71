#include "temp_dir.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace pl3::test {

TempDir::TempDir() {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "pl3-test-%08x", static_cast<unsigned>(random()));
        std::error_code error;
        if (std::filesystem::create_directory(base / name, error)) {
            path_ = (base / name).string();
            return;
        }
    }
    throw std::runtime_error("no fresh temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& text) const {
    std::string full = file(name);
    std::ofstream(full, std::ios::binary) << text;
    return full;
}

std::string TempDir::writeBytes(const std::string& name,
                                const std::vector<std::uint8_t>& bytes) const {
    std::string full = file(name);
    std::ofstream out(full, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return full;
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::string text = readText(path);
    return {text.begin(), text.end()};
}

}  // namespace pl3::test
