#pragma once
// The program's frames as a test sends them to the simulated radio, and the bytes it
// expects back.

#include <cstdint>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "codeplug/image_layout.h"
#include "codeplug/model_constants.h"
#include "codeplug/wire_constants.h"

namespace pl3::test {

using Bytes = std::vector<std::uint8_t>;

inline const Bytes kWakeUpFrame(wire::kWakeUp.begin(), wire::kWakeUp.end());

inline Bytes concat(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

inline Bytes readRequest(int address) {
    return {'R', static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address), 0x10};
}

inline Bytes writeRequest(int address, const Bytes& data) {
    return concat(
        {'w', static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address), 0x10},
        data);
}

// 16 bytes that differ from the factory image and from each other's seeds.
inline Bytes pattern(std::uint8_t seed) {
    Bytes data(16);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(seed + 37 * i + 1);
    return data;
}

// count bytes of the image from at, the address wrapping at the end.
inline Bytes imageBytes(const Image& image, std::size_t at, std::size_t count = 16) {
    Bytes out;
    for (std::size_t i = 0; i < count; ++i)
        out.push_back(image[(at + i) % image.size()]);
    return out;
}

// The right answer to the challenge of a session with this key.
inline Bytes challengeFor(std::uint8_t key) {
    Bytes response;
    for (std::uint8_t byte : model::kResponseWord)
        response.push_back(static_cast<std::uint8_t>(byte ^ key));
    return response;
}

// One line of a conversation log: "+000123.456 TX 52 00 00 10", or an event
// "+000123.456 -- time-out ...".
struct LoggedLine {
    std::string direction;  // "TX", "RX" or "--"
    Bytes bytes;
};

// The log's lines after its "#" header; nullopt for the first line in any other shape.
inline std::optional<std::vector<LoggedLine>> parseConversationLog(const std::string& text) {
    static const std::regex kFrame(R"(\+\d{6,}\.\d{3} (TX|RX)((?: [0-9A-F]{2})+))");
    static const std::regex kEvent(R"(\+\d{6,}\.\d{3} -- \S.*)");
    std::vector<LoggedLine> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.starts_with("#")) continue;
        std::smatch match;
        if (std::regex_match(line, kEvent)) {
            lines.push_back({"--", {}});
        } else if (std::regex_match(line, match, kFrame)) {
            LoggedLine logged{match[1].str(), {}};
            std::istringstream hex(match[2].str());
            unsigned value = 0;
            while (hex >> std::hex >> value)
                logged.bytes.push_back(static_cast<std::uint8_t>(value));
            lines.push_back(std::move(logged));
        } else {
            return std::nullopt;
        }
    }
    return lines;
}

}  // namespace pl3::test
