// URL parsing, form encoding and Base64/uuencode on any bytes. Checks: no crash;
// every encoding decodes back to its input; a parsed URL names a port in range.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "net/message_pump.h"
#include "net/nmhttp.h"
#include "net/nmurl.h"
#include "net/uu_processor.h"

using namespace corvalo::net;

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    TNMUUProcessor uu;
    uu.Method = UUMethods::uuMime;
    if (uu.Decode(uu.Encode(input)) != input) fail("Base64 round trip");
    uu.Method = UUMethods::uuCode;
    if (uu.Decode(uu.Encode(input)) != input) fail("uuencode round trip");
    const std::string line = EncodeBase64Line(input);
    if (line.find('\r') != std::string::npos || line.find('\n') != std::string::npos) {
        fail("Base64 line with a line break");
    }
    uu.Method = UUMethods::uuMime;
    (void)uu.Decode(input);
    uu.Method = UUMethods::uuCode;
    (void)uu.Decode(input);

    TNMURL url;
    url.InputString = input;
    (void)url.Encode();

    static NoEventsPump pump;
    static SteadyClock clock;
    TNMHTTP http(pump, clock);
    http.URL = input;
    try {
        http.ParseURL();  // any port: Connect refuses one beyond 16 bits
    } catch (const corvalo::Error&) {
    }
    return 0;
}
