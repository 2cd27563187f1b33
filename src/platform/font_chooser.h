#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace corvalo::platform {

// A font as the font dialog offers it: face, size, colour and the four styles.
// Colour is 0x00BBGGRR, or a system colour (top bit set: negative).
struct FontSpec {
    std::string name;
    std::int32_t size = 10;  // points
    std::int32_t color = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
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
    virtual std::optional<FontSpec> choose(const FontSpec& initial,
                                           const ApplyHandler& onApply) = 0;
};

}  // namespace corvalo::platform
