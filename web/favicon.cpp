#include "favicon.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <string_view>

namespace crossing::web {

namespace {

#include "hamburger.xpm"

constexpr std::uint32_t kOpaque = 0xFF000000;

// The whole text as a number in the base, or nothing.
std::optional<std::uint32_t> number(std::string_view text, int base)
{
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || error != std::errc{} || stop != end)
        return std::nullopt;
    return value;
}

std::optional<std::uint32_t> parseColour(std::string_view value)
{
    if (value == "None")
        return 0;
    if (value.size() != 7 || value[0] != '#')
        return std::nullopt;
    const auto rgb = number(value.substr(1), 16);
    return rgb ? std::optional(kOpaque | *rgb) : std::nullopt;
}

// The next word of the text, which is left after it.
std::string_view nextWord(std::string_view& rest)
{
    const std::size_t start = rest.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        rest = {};
        return {};
    }
    const std::size_t end = std::min(rest.find_first_of(" \t", start), rest.size());
    const std::string_view word = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return word;
}

// A colour line: the pixel's characters, then pairs of a key and a value;
// only the colour key "c" matters here.
std::optional<std::uint32_t> colourOf(std::string_view line, std::size_t charsPerPixel)
{
    std::string_view rest = line.substr(charsPerPixel);
    for (std::string_view key = nextWord(rest); !key.empty(); key = nextWord(rest)) {
        const std::string_view value = nextWord(rest);
        if (key == "c")
            return parseColour(value);
    }
    return std::nullopt;
}

void putLittleEndian(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string base64(std::string_view bytes)
{
    static constexpr std::string_view kDigits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t j = 0; j < 3; ++j)
            group = group << 8 | (j < count ? static_cast<unsigned char>(bytes[i + j]) : 0u);
        for (std::size_t j = 0; j < 4; ++j)
            out += j <= count ? kDigits[(group >> (18 - 6 * j)) & 0x3F] : '=';
    }
    return out;
}

} // namespace

std::optional<Picture> readXpm(std::span<const char* const> lines)
{
    // The values: width, height, number of colours, characters per pixel.
    std::array<std::size_t, 4> values{};
    std::string_view header = lines.empty() ? std::string_view{} : lines[0];
    for (std::size_t& value : values) {
        const auto read = number(nextWord(header), 10);
        if (!read || *read == 0 || *read > 4096)
            return std::nullopt;
        value = *read;
    }
    const auto [width, height, colours, cpp] = values;
    if (lines.size() != 1 + colours + height)
        return std::nullopt;

    Picture picture;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    std::map<std::string_view, std::uint32_t> palette;
    for (std::size_t i = 1; i <= colours; ++i) {
        const std::string_view line = lines[i];
        const auto colour = line.size() > cpp ? colourOf(line, cpp) : std::nullopt;
        if (!colour)
            return std::nullopt;
        palette[line.substr(0, cpp)] = *colour;
    }
    for (const char* row : lines.subspan(1 + colours)) {
        const std::string_view pixels = row;
        if (pixels.size() != cpp * width)
            return std::nullopt;
        for (std::size_t x = 0; x < pixels.size(); x += cpp) {
            const auto found = palette.find(pixels.substr(x, cpp));
            if (found == palette.end())
                return std::nullopt;
            picture.pixels.push_back(found->second);
        }
    }
    return picture;
}

// ICONDIR, one ICONDIRENTRY, then a DIB without file header: the info header,
// the colour bitmap (B, G, R, A) and the AND mask, both bottom row first.
std::string iconDataUrl(const Picture& picture)
{
    constexpr std::uint32_t kHeadersSize = 6 + 16;
    constexpr std::uint32_t kInfoHeaderSize = 40;
    const auto width = static_cast<std::uint32_t>(picture.width);
    const auto height = static_cast<std::uint32_t>(picture.height);
    const std::uint32_t maskRowBytes = (width + 31) / 32 * 4;
    const std::uint32_t bitmapsSize = width * height * 4 + maskRowBytes * height;

    std::string ico;
    putLittleEndian(ico, 0, 2);            // reserved
    putLittleEndian(ico, 1, 2);            // an icon
    putLittleEndian(ico, 1, 2);            // one image
    putLittleEndian(ico, width & 0xFF, 1); // 0 stands for 256
    putLittleEndian(ico, height & 0xFF, 1);
    putLittleEndian(ico, 0, 2); // no palette, reserved
    putLittleEndian(ico, 1, 2); // planes
    putLittleEndian(ico, 32, 2);
    putLittleEndian(ico, kInfoHeaderSize + bitmapsSize, 4);
    putLittleEndian(ico, kHeadersSize, 4);

    putLittleEndian(ico, kInfoHeaderSize, 4);
    putLittleEndian(ico, width, 4);
    putLittleEndian(ico, 2 * height, 4); // the colour bitmap and the mask
    putLittleEndian(ico, 1, 2);
    putLittleEndian(ico, 32, 2);
    putLittleEndian(ico, 0, 4); // uncompressed
    putLittleEndian(ico, bitmapsSize, 4);
    putLittleEndian(ico, 0, 16); // resolution, colours used and important

    for (std::uint32_t y = height; y-- > 0;) {
        for (std::uint32_t x = 0; x < width; ++x)
            putLittleEndian(ico, picture.pixels[y * width + x], 4);
    }
    for (std::uint32_t y = height; y-- > 0;) {
        std::string row(maskRowBytes, '\0');
        for (std::uint32_t x = 0; x < width; ++x) {
            if ((picture.pixels[y * width + x] & kOpaque) == 0)
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        }
        ico += row;
    }
    return "data:image/x-icon;base64," + base64(ico);
}

std::string faviconUrl()
{
    // An icon entry states each side in one byte, 0 for 256.
    const std::optional<Picture> picture = readXpm(hamburger_xpm);
    if (!picture || picture->width > 256 || picture->height > 256)
        return {};
    return iconDataUrl(*picture);
}

} // namespace crossing::web
