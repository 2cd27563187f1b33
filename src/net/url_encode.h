#pragma once

#include <functional>
#include <string>

namespace corvalo::net {

// Form encoding of POST data.
class UrlEncoder {
  public:
    using ErrorEvent = std::function<void(UrlEncoder& sender, const std::string& operation,
                                          const std::string& errMsg)>;

    std::string inputString;
    ErrorEvent onError;  // encoding never fails

    // Letters and digits stay, a blank becomes '+', every other byte "%XX":
    // "a b&c=1/ü" -> "a+b%26c%3D1%2F%C3%BC".
    std::string encode() const;
};

}  // namespace corvalo::net
