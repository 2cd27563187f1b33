#include "input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace corvalo::cli {

namespace {

// Appends all that `fd` yields; 0 when done, otherwise the errno value. A
// regular file is read in one go into room of its size.
int appendAll(int fd, std::size_t maxBytes, platform::BigBuffer<char>& buf) {
    struct stat st {};
    if (fstat(fd, &st) != 0) return errno;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    std::size_t chunk = std::size_t{1} << 20;
    if (S_ISREG(st.st_mode) && st.st_size > 0) {
        const auto size = static_cast<std::size_t>(st.st_size);
        if (size > maxBytes) return EFBIG;
        chunk = size + 1;
    }
    for (bool first = true;; first = false) {
        if (buf.size() > maxBytes) return EFBIG;
        if (first || buf.capacity() == buf.size()) buf.reserve(buf.size() + chunk);
        const ssize_t n = read(fd, buf.data() + buf.size(), buf.capacity() - buf.size());
        if (n == 0) return 0;
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        buf.resizeUninitialized(buf.size() + static_cast<std::size_t>(n));
    }
}

}  // namespace

std::optional<InputFailure> readInputs(std::span<const std::string> names, int stdinFd,
                                       std::size_t maxBytes, platform::BigBuffer<char>& out) {
    static const std::string kStdin[] = {"-"};
    if (names.empty()) names = kStdin;
    for (const std::string& name : names) {
        if (!out.empty() && out[out.size() - 1] != '\n') out.push_back('\n');
        int error = 0;
        if (name == "-") {
            error = appendAll(stdinFd, maxBytes, out);
        } else {
            const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
            if (fd < 0) return InputFailure{name, errno};
            error = appendAll(fd, maxBytes, out);
            close(fd);
        }
        if (error == 0 && out.size() > maxBytes) error = EFBIG;
        if (error != 0) return InputFailure{name, error};
    }
    return std::nullopt;
}

}  // namespace corvalo::cli
