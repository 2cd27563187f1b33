#include "input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace corvalo::cli {

namespace {

constexpr std::size_t kPipeRead = std::size_t{1} << 20;
const std::string kStdin[] = {"-"};

}  // namespace

InputStream::InputStream(std::span<const std::string> names, int stdinFd, std::size_t maxBytes)
    : names_(names.empty() ? std::span<const std::string>(kStdin) : names),
      stdinFd_(stdinFd),
      maxBytes_(maxBytes) {}

InputStream::~InputStream() {
    closeCurrent();
}

void InputStream::closeCurrent() {
    if (fd_ >= 0 && ownsFd_) close(fd_);
    fd_ = -1;
    ownsFd_ = false;
}

void InputStream::fail(int error) {
    failure_ = InputFailure{names_[next_ - 1], error};
    closeCurrent();
}

bool InputStream::openNext() {
    if (next_ == names_.size()) return false;
    const std::string& name = names_[next_++];
    if (name == "-") {
        fd_ = stdinFd_;
    } else {
        fd_ = open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
        if (fd_ < 0) {
            fail(errno);
            return false;
        }
        ownsFd_ = true;
    }
    struct stat st {};
    fileLeft_ = 0;
    if (fstat(fd_, &st) != 0) {
        fail(errno);
    } else if (S_ISDIR(st.st_mode)) {
        fail(EISDIR);
    } else if (S_ISREG(st.st_mode) && st.st_size > 0) {
        fileLeft_ = static_cast<std::size_t>(st.st_size);
        if (fileLeft_ > maxBytes_) fail(EFBIG);
    }
    return !failure_;
}

bool InputStream::readSome(platform::BigBuffer<char>& out, std::size_t room) {
    if (room == 0) return false;
    while (!failure_) {
        if (fd_ < 0) {
            if (!openNext()) return false;
            if (last_ != '\n') {
                out.push_back('\n');
                last_ = '\n';
                if (++total_ > maxBytes_) fail(EFBIG);
                return !failure_;
            }
        }
        std::size_t want = room;
        if (want == kAsFits) {
            // A regular file in one read into room of its size (and one byte to see
            // its end); a pipe into the room left, or a new piece of it.
            const std::size_t spare = out.capacity() - out.size();
            want = fileLeft_ != 0 ? fileLeft_ + 1 : spare != 0 ? spare : kPipeRead;
        }
        out.reserve(out.size() + want);
        const ssize_t n = read(fd_, out.data() + out.size(), want);
        if (n == 0) {
            closeCurrent();
            continue;
        }
        if (n < 0) {
            if (errno != EINTR) fail(errno);
            continue;
        }
        const auto got = static_cast<std::size_t>(n);
        out.resizeUninitialized(out.size() + got);
        last_ = out[out.size() - 1];
        fileLeft_ -= got < fileLeft_ ? got : fileLeft_;
        total_ += got;
        if (total_ > maxBytes_) fail(EFBIG);
        return !failure_;
    }
    return false;
}

void InputStream::readRest(platform::BigBuffer<char>& out) {
    while (readSome(out, kAsFits)) {
    }
}

void InputStream::skipRest() {
    platform::BigBuffer<char> scratch;
    while (readSome(scratch, kPipeRead)) scratch.clear();
}

std::optional<InputFailure> readInputs(std::span<const std::string> names, int stdinFd,
                                       std::size_t maxBytes, platform::BigBuffer<char>& out) {
    InputStream in(names, stdinFd, maxBytes);
    in.readRest(out);
    return in.failure();
}

}  // namespace corvalo::cli
