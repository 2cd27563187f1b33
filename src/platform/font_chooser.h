#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace corvalo::platform {

// A font as the font dialog offers it: face, size, colour and the four styles.
// Colour is 0x00BBGGRR, or a system colour (top bit set: negative).
struct FontSpec {
    std::string Name;
    std::int32_t Size = 10;  // points
    std::int32_t Color = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    bool operator==(const FontSpec&) const = default;
};

// The common font dialog: face, size, style, underline, strike-out, colour, and
// an Apply button that hands over the dialog's current font without closing it.
class FontChooser {
public:
    using ApplyHandler = std::function<void(const FontSpec&)>;
    virtual ~FontChooser() = default;
    // Runs modally from `initial`; the chosen font on OK, nothing on Cancel.
    // `onApply` runs on each press of Apply (the dialog stays open).
    virtual std::optional<FontSpec> Choose(const FontSpec& initial,
                                           const ApplyHandler& onApply) = 0;
};

}  // namespace corvalo::platform
