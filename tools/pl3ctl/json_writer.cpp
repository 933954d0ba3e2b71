#include "tools/pl3ctl/json_writer.h"

#include <cstdio>

namespace pl3::cli {

std::string jsonEscaped(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

void JsonWriter::separator(std::string_view key) {
    if (!needsComma_.empty()) {
        if (needsComma_.back()) out_ << ",";
        needsComma_.back() = true;
        out_ << "\n" << std::string(needsComma_.size() * 2, ' ');
    }
    if (!key.empty()) out_ << jsonEscaped(key) << ": ";
}

void JsonWriter::beginObject(std::string_view key) {
    separator(key);
    out_ << "{";
    needsComma_.push_back(false);
}

void JsonWriter::endObject() {
    needsComma_.pop_back();
    out_ << "\n" << std::string(needsComma_.size() * 2, ' ') << "}";
    if (needsComma_.empty()) out_ << "\n";
}

void JsonWriter::beginArray(std::string_view key) {
    separator(key);
    out_ << "[";
    needsComma_.push_back(false);
}

void JsonWriter::endArray() {
    needsComma_.pop_back();
    out_ << "\n" << std::string(needsComma_.size() * 2, ' ') << "]";
}

void JsonWriter::string(std::string_view key, std::string_view value) {
    separator(key);
    out_ << jsonEscaped(value);
}

void JsonWriter::number(std::string_view key, long long value) {
    separator(key);
    out_ << value;
}

void JsonWriter::value(std::string_view key, std::string_view text, bool numeric) {
    separator(key);
    if (numeric) {
        out_ << text;
    } else {
        out_ << jsonEscaped(text);
    }
}

}  // namespace pl3::cli
