#pragma once

#include <unistd.h>

#include <optional>
#include <string>

namespace corvalo::platform {

// Closes the descriptor however the scope ends; close() reports the closing itself.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

// The folder of "/a/b/corvalo.ini" is "/a/b"; of "corvalo.ini" it is ".".
std::string folderOf(const std::string& path);

// The file a write to `path` lands in, following only links the user owns (as the
// kernel's protected-symlinks rule does in shared folders); nothing for a link that
// someone else planted, which could point at any file the user may write, or a loop.
std::optional<std::string> followOwnLinks(const std::string& path);

}  // namespace corvalo::platform
