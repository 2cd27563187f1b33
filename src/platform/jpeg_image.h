#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace corvalo::platform {

// A decoded picture: 3 bytes (R, G, B) per pixel, rows from the top, no padding.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// Pictures larger than this are refused before any pixel memory is taken.
inline constexpr std::int64_t kMaxJpegPixels = 64LL * 1024 * 1024;

// Decodes a whole JPEG held in memory with libjpeg. A corrupt, truncated or
// unsupported picture gives false and libjpeg's message in `error` (never an
// exit, never a partly grey picture); `out` is left empty then.
bool decodeJpeg(std::span<const std::uint8_t> data, RgbImage& out, std::string& error);

}  // namespace corvalo::platform
