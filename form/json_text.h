#pragma once
// The one writer of JSON strings for the build's JSON files (the window's
// description, the rule tests' situations).
#include <string>
#include <string_view>

namespace crossing::json {

// TEXT as a JSON string: quotes, backslashes and control characters escaped,
// UTF-8 passed through as it is.
inline std::string quoted(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            constexpr std::string_view digits = "0123456789abcdef";
            out.append("\\u00").append(1, digits[byte >> 4]).append(1, digits[byte & 0xF]);
        } else {
            out += c;
        }
    }
    return out + "\"";
}

} // namespace crossing::json
