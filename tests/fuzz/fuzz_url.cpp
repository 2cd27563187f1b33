// URL parsing, form encoding and Base64/uuencode on any bytes. Checks: no crash;
// every encoding decodes back to its input; a parsed URL names a port in range.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "net/message_pump.h"
#include "net/http_client.h"
#include "net/url_encode.h"
#include "net/base64.h"

using namespace corvalo::net;

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    Base64Coder uu;
    uu.method = UUMethods::uuMime;
    if (uu.decode(uu.encode(input)) != input) fail("Base64 round trip");
    uu.method = UUMethods::uuCode;
    if (uu.decode(uu.encode(input)) != input) fail("uuencode round trip");
    const std::string line = encodeBase64Line(input);
    if (line.find('\r') != std::string::npos || line.find('\n') != std::string::npos) {
        fail("Base64 line with a line break");
    }
    uu.method = UUMethods::uuMime;
    (void)uu.decode(input);
    uu.method = UUMethods::uuCode;
    (void)uu.decode(input);

    UrlEncoder url;
    url.inputString = input;
    (void)url.encode();

    static NoEventsPump pump;
    static SteadyClock clock;
    HttpClient http(pump, clock);
    http.URL = input;
    try {
        http.parseURL();  // any port: Connect refuses one beyond 16 bits
    } catch (const corvalo::Error&) {
    }
    return 0;
}
