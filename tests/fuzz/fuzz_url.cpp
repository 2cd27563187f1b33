// URL parsing, form encoding and Base64/uuencode on any bytes. Checks: no crash;
// every encoding decodes back to its input; a parsed URL names a port in range.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "net/base64.h"
#include "net/http_client.h"
#include "net/message_pump.h"
#include "net/url_encode.h"

using namespace corvalo::net;

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    if (base64Decode(base64Encode(input)) != input) fail("Base64 round trip");
    if (uuDecode(uuEncode(input)) != input) fail("uuencode round trip");
    const std::string line = base64EncodeLine(input);
    if (line.find('\r') != std::string::npos || line.find('\n') != std::string::npos) {
        fail("Base64 line with a line break");
    }
    (void)base64Decode(input);
    (void)uuDecode(input);
    (void)formUrlEncode(input);

    static NoEventsPump pump;
    static SteadyClock clock;
    HttpClient http(pump, clock);
    http.url = input;
    try {
        http.parseUrl();  // any port: connect() refuses one beyond 16 bits
    } catch (const corvalo::Error&) {
    }
    return 0;
}
