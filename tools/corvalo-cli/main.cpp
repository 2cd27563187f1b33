// corvalo-cli: Corvalo's clipboard calculation on standard input.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli.h"

namespace {

// Reads all of standard input; a regular file is read in one go into a buffer
// of its size.
bool readAll(int fd, corvalo::platform::BigBuffer<char>& buf) {
    struct stat st {};
    std::size_t chunk = std::size_t{1} << 20;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        chunk = static_cast<std::size_t>(st.st_size) + 1;
    }
    for (;;) {
        buf.reserve(buf.size() + chunk);
        const ssize_t n = read(fd, buf.data() + buf.size(), buf.capacity() - buf.size());
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        buf.resizeUninitialized(buf.size() + static_cast<std::size_t>(n));
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    corvalo::platform::BigBuffer<char> input;
    bool wantsInput = true;
    for (const auto& a : args) wantsInput &= a != "--help" && a != "-h";
    if (wantsInput && !readAll(STDIN_FILENO, input)) {
        std::cerr << "corvalo-cli: cannot read standard input: " << std::strerror(errno) << '\n';
        return corvalo::cli::kError;
    }
    return corvalo::cli::run(args, std::move(input), corvalo::platform::readUserLocaleSeparators(),
                             std::cout, std::cerr);
}
