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

// Pictures larger than this are refused as soon as their header is read.
inline constexpr std::int64_t kMaxJpegPixels = 64LL * 1024 * 1024;
// libjpeg's own working memory stops here (a progressive picture keeps all its
// coefficients, 2 bytes each); the About picture needs a small part of it.
inline constexpr long kMaxJpegDecoderMemory = 64L * 1024 * 1024;

// Decodes a whole JPEG held in memory with libjpeg. A corrupt, truncated or
// unsupported picture gives false and libjpeg's message in `error` (never an
// exit, never a partly grey picture); `out` is left empty then.
bool decodeJpeg(std::span<const std::uint8_t> data, RgbImage& out, std::string& error);

}  // namespace corvalo::platform
