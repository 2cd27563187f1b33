#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace corvalo::net {

enum class UUMethods { uuMime, uuCode };

// Base64 ("uuMime") and uuencode ("uuCode") in lines of 45 input bytes, each line
// ended by CR LF.
class Base64Coder {
  public:
    using SenderEvent = std::function<void(Base64Coder& sender)>;
    static constexpr std::size_t kBytesPerLine = 45;

    UUMethods method = UUMethods::uuMime;
    SenderEvent onBeginEncode;
    SenderEvent onEndEncode;
    SenderEvent onBeginDecode;
    SenderEvent onEndDecode;

    // uuMime: "Man" -> "TWFu\r\n"; uuCode: "Cat" -> "#0V%T\r\n`\r\n".
    std::string encode(std::string_view input);
    // The inverse; line ends and characters outside the alphabet are skipped.
    std::string decode(std::string_view encoded);
};

// Base64 of the whole input as one line with no breaks: "user:pass" -> "dXNlcjpwYXNz".
std::string encodeBase64Line(std::string_view input);

}  // namespace corvalo::net
