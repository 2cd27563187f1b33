#pragma once

#include <cstdint>
#include <span>

namespace corvalo::shell {

// Files built into the program (assets/), so it needs nothing beside it to
// show them.
std::span<const std::uint8_t> aboutPictureJpeg();  // 438 x 343, decoded with libjpeg
// The desktop icons, each drawn at its size (assets/icons/hicolor/<size>/apps).
std::span<const std::uint8_t> appIcon16Png();
std::span<const std::uint8_t> appIcon22Png();
std::span<const std::uint8_t> appIcon24Png();
std::span<const std::uint8_t> appIcon32Png();
std::span<const std::uint8_t> appIcon48Png();
std::span<const std::uint8_t> appIcon64Png();
std::span<const std::uint8_t> appIcon128Png();
std::span<const std::uint8_t> appIcon256Png();

}  // namespace corvalo::shell
