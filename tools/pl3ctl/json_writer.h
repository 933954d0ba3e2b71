#pragma once
// A small streaming JSON writer: objects, arrays, strings (escaped) and integers.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace pl3::cli {

class JsonWriter {
  public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    void beginObject(std::string_view key = {});
    void endObject();
    void beginArray(std::string_view key = {});
    void endArray();
    void string(std::string_view key, std::string_view value);
    void number(std::string_view key, long long value);
    // A value whose text is already a decimal integer, or a string otherwise.
    void value(std::string_view key, std::string_view text, bool numeric);

  private:
    void separator(std::string_view key);

    std::ostream& out_;
    std::vector<bool> needsComma_;
};

std::string jsonEscaped(std::string_view text);

}  // namespace pl3::cli
