#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvalo::net {

// Input bytes per line of base64Encode and uuEncode.
inline constexpr std::size_t kBytesPerCodedLine = 45;

// Base64 in lines of 45 input bytes, each ended by CR LF, "=" filling the last
// group: "Man" -> "TWFu\r\n", "M" -> "TQ==\r\n".
std::string base64Encode(std::string_view input);
// The inverse; line ends and characters outside the alphabet are skipped.
std::string base64Decode(std::string_view encoded);

// Base64 of the whole input as one line with no breaks: "user:pass" -> "dXNlcjpwYXNz".
std::string base64EncodeLine(std::string_view input);

// uuencode in lines of 45 input bytes, each led by its length character and ended by
// CR LF, then a line with the zero-length character: "Cat" -> "#0V%T\r\n`\r\n".
std::string uuEncode(std::string_view input);
// The inverse; it stops at the zero-length line.
std::string uuDecode(std::string_view encoded);

}  // namespace corvalo::net
