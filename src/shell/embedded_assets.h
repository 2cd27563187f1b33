#pragma once

#include <cstdint>
#include <span>

namespace corvalo::shell {

// Files built into the program (assets/), so it needs nothing beside it to
// show them.
std::span<const std::uint8_t> aboutPictureJpeg();  // 438 x 343, decoded with libjpeg
std::span<const std::uint8_t> appIconPng();        // 256 x 256, window and tray icon

}  // namespace corvalo::shell
