#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix_file.h"

namespace corvalo::platform {

namespace {}  // namespace

FileRead readRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    // O_NONBLOCK: opening a named pipe would otherwise wait for a writer for ever.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) return errno == ENOENT ? FileRead::Missing : FileRead::Failed;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return FileRead::Failed;
    if (static_cast<std::size_t>(st.st_size) > maxBytes) return FileRead::Failed;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
            bytes.clear();  // failed, or grew past the limit while we read
            return FileRead::Failed;
        }
        if (n == 0) return FileRead::Ok;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
}

}  // namespace corvalo::platform
