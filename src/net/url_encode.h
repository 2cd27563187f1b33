#pragma once

#include <string>
#include <string_view>

namespace corvalo::net {

// Form encoding of POST data: letters and digits stay, a blank becomes '+', every
// other byte "%XX": "a b&c=1/ü" -> "a+b%26c%3D1%2F%C3%BC".
std::string formUrlEncode(std::string_view input);

}  // namespace corvalo::net
