#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace corvalo::net {

enum class UUMethods { uuMime, uuCode };

// Base64 ("uuMime") and uuencode ("uuCode") in lines of 45 input bytes, each line
// ended by CR LF.
class TNMUUProcessor {
  public:
    using SenderEvent = std::function<void(TNMUUProcessor& sender)>;
    static constexpr std::size_t kBytesPerLine = 45;

    UUMethods Method = UUMethods::uuMime;
    SenderEvent OnBeginEncode;
    SenderEvent OnEndEncode;
    SenderEvent OnBeginDecode;
    SenderEvent OnEndDecode;

    // uuMime: "Man" -> "TWFu\r\n"; uuCode: "Cat" -> "#0V%T\r\n`\r\n".
    std::string Encode(std::string_view input);
    // The inverse; line ends and characters outside the alphabet are skipped.
    std::string Decode(std::string_view encoded);
};

// Base64 of the whole input as one line with no breaks: "user:pass" -> "dXNlcjpwYXNz".
std::string EncodeBase64Line(std::string_view input);

}  // namespace corvalo::net
