#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace corvalo::platform {

// INI ("profile") files, read and written key by key:
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
inline constexpr std::size_t kProfileValueMax = 2047;

// The file system under a profile file: one seam with a real and a test implementation.
class ProfileStorage {
public:
    enum class ReadResult { Ok, Missing, Failed };

    virtual ~ProfileStorage() = default;
    // The whole file into `bytes`; Missing when there is no such file, Failed when
    // it exists (or its path does) but cannot be read, a folder for instance.
    virtual ReadResult read(const std::string& path, std::string& bytes) = 0;
    // Puts exactly `bytes` in place of the file (creating it) so that at every
    // moment the file is either the old or the new whole file; false when refused.
    [[nodiscard]] virtual bool replace(const std::string& path, std::string_view bytes) = 0;
};

// The real file system: reads the file whole; replaces it by writing a file
// beside it, flushing it to disk and renaming it over the old one. A file the
// user may not write is refused, and a symbolic link is followed to its target.
class DiskProfileStorage final : public ProfileStorage {
public:
    ReadResult read(const std::string& path, std::string& bytes) override;
    [[nodiscard]] bool replace(const std::string& path, std::string_view bytes) override;
};

// The text of one profile file, held in memory.
class Profile {
public:
    Profile() = default;
    explicit Profile(std::string text) : text_(std::move(text)) {}

    const std::string& text() const { return text_; }

    // The whole value (not cut at kProfileValueMax), or nothing when the section
    // or key is missing.
    std::optional<std::string_view> find(std::string_view section, std::string_view key) const;

    // The value as a reader sees it: at most kProfileValueMax characters, or `def`.
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
std::optional<std::int32_t> parseProfileInt(std::string_view text);

// The value of `key`, or `def` when the file, section or key is missing.
std::string getProfileString(ProfileStorage& storage, const std::string& file,
                             std::string_view section, std::string_view key,
                             std::string_view def);
std::string getProfileString(const std::string& file, std::string_view section,
                             std::string_view key, std::string_view def);

// The value read as parseProfileInt does, or `def` when it is missing or not a number.
std::int32_t getProfileInt(ProfileStorage& storage, const std::string& file,
                           std::string_view section, std::string_view key, std::int32_t def);
std::int32_t getProfileInt(const std::string& file, std::string_view section,
                           std::string_view key, std::int32_t def);

// Writes one value into the file (see Profile::set), creating it when missing.
// False when the file cannot be read or written; the file is then unchanged.
[[nodiscard]] bool writeProfileString(ProfileStorage& storage, const std::string& file,
                                      std::string_view section, std::string_view key,
                                      std::string_view value);
[[nodiscard]] bool writeProfileString(const std::string& file, std::string_view section,
                                      std::string_view key, std::string_view value);

}  // namespace corvalo::platform
