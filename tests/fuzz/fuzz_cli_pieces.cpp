// corvalo-cli's column calculated piece by piece against the same input loaded
// whole. The first byte picks the mode, the line, the locale and two options,
// the second the piece size; the rest is the input. Checks: both give the same
// output, messages and exit status.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"

using namespace corvalo;

namespace {

struct Run {
    int status = 0;
    std::string out, err;
    bool operator==(const Run&) const = default;
};

Run runCli(const std::vector<std::string>& args, const std::uint8_t* data, std::size_t size,
           platform::LocaleSeparators locale, std::size_t pieceBytes) {
    const int fd = memfd_create("input", MFD_CLOEXEC);
    if (fd < 0 || (size != 0 && write(fd, data, size) != static_cast<ssize_t>(size)) ||
        lseek(fd, 0, SEEK_SET) != 0) {
        std::abort();
    }
    std::ostringstream out, err;
    Run r;
    r.status = cli::run(args, fd, locale, out, err, pieceBytes);
    close(fd);
    r.out = out.str();
    r.err = err.str();
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint8_t pick = data[0];
    const std::size_t pieceBytes = 4 + data[1];
    data += 2;
    size -= 2;
    static const char* const kModes[] = {"add", "subtract", "multiply", "divide"};
    std::vector<std::string> args = {"--columns", "--mode", kModes[pick & 3], "--line",
                                     std::to_string(1 + ((pick >> 2) & 3))};
    if ((pick & 0x10) != 0) args.emplace_back("--statement-signs");
    if ((pick & 0x20) != 0) args.emplace_back("--keep-leading-empty-rows");
    const platform::LocaleSeparators locale = (pick & 0x40) != 0
                                                  ? platform::LocaleSeparators{',', '.'}
                                                  : platform::LocaleSeparators{'.', ','};
    const Run whole = runCli(args, data, size, locale, 0);
    const Run pieces = runCli(args, data, size, locale, pieceBytes);
    if (!(whole == pieces)) {
        std::fprintf(stderr, "whole: %d [%s] [%s]\npieces: %d [%s] [%s]\n", whole.status,
                     whole.out.c_str(), whole.err.c_str(), pieces.status, pieces.out.c_str(),
                     pieces.err.c_str());
        std::abort();
    }
    return 0;
}
