#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace corvalo::platform {

// The text of one INI file, held in memory:
//
//   ; a comment
//   [Show]
//   ResultDecimalFormat = 2
//
// Section and key names match without regard to case; blanks (codes 32 and
// below) around names and values are ignored, and a value in matching quotes
// loses them. Lines before the first section, comments, lines without '=' and
// sections whose header lacks its ']' hold nothing that can be read. LF and
// CR LF line ends are both read; every line a write does not touch is kept
// byte for byte.

// At most this many characters of a value are seen, as through a 2048-byte buffer.
inline constexpr std::size_t kIniValueMax = 2047;

class IniText {
  public:
    IniText() = default;
    explicit IniText(std::string text) : text_(std::move(text)) {}

    const std::string& text() const { return text_; }

    // The whole value (not cut at kIniValueMax), or nothing when the section
    // or key is missing.
    std::optional<std::string_view> find(std::string_view section, std::string_view key) const;

    // The value as a reader sees it: at most kIniValueMax characters, or `def`.
    std::string get(std::string_view section, std::string_view key, std::string_view def) const;

    // Sets one value: in place when the key exists, else at the end of its
    // section, else in a new section at the end. CR and LF in the value become
    // blanks, so a value can never open a line of its own. Returns false when
    // the text stays the same (the value already reads back as given).
    bool set(std::string_view section, std::string_view key, std::string_view value);

  private:
    std::string text_;
};

// An integer setting: "-12", "+7" (signed 32-bit range), or up to eight hex digits
// after "$", "x", "X", "0x" or "0X" as a 32-bit pattern ("$FFFFFFFF" -> -1);
// nothing else is a number.
std::optional<std::int32_t> parseIniInt(std::string_view text);

}  // namespace corvalo::platform
