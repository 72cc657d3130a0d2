// The page's icon, drawn from the same XPM picture as the window's icon.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace crossing::web {

// A picture as rows of 0xAARRGGBB pixels, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// Reads an XPM picture whose colours are "#RRGGBB" or "None"; empty for a
// picture it cannot read.
[[nodiscard]] std::optional<Picture> readXpm(std::span<const char* const> lines);

// The picture as a one-image .ico file (32 bits per pixel with alpha, plus the
// 1-bit mask older readers use), in a data: URL.
[[nodiscard]] std::string iconDataUrl(const Picture& picture);

// The program's icon as a data: URL; empty if the picture cannot be read.
[[nodiscard]] std::string faviconUrl();

} // namespace crossing::web
