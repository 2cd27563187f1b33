#include "platform/posix_file.h"

#include <sys/stat.h>

#include <climits>

namespace corvalo::platform {

namespace {
constexpr int kMaxLinkHops = 40;  // as the kernel's own limit
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::optional<std::string> followOwnLinks(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        if (st.st_uid != ::geteuid()) return std::nullopt;
        std::string next(PATH_MAX, '\0');
        const ssize_t n = ::readlink(current.c_str(), next.data(), next.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= next.size()) return std::nullopt;
        next.resize(static_cast<std::size_t>(n));
        current = next.front() == '/' ? next : folderOf(current) + "/" + next;
    }
    return std::nullopt;
}

}  // namespace corvalo::platform
