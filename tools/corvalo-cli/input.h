#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "platform/big_buffer.h"

namespace corvalo::cli {

// Why an input could not be read: its name as given ("-" for standard input)
// and the errno value.
struct InputFailure {
    std::string name;
    int error = 0;
};

// The named inputs read in order as one text, a piece at a time ("-" is
// `stdinFd`, no names means standard input alone), with a LF between two inputs
// where the first does not end with one. A directory is refused (EISDIR); a FIFO
// is read as a pipe. Input beyond `maxBytes` in all is refused (EFBIG) rather than
// read on without end (/dev/zero). After a failure nothing more is read.
class InputStream {
  public:
    InputStream(std::span<const std::string> names, int stdinFd, std::size_t maxBytes);
    ~InputStream();
    InputStream(const InputStream&) = delete;
    InputStream& operator=(const InputStream&) = delete;

    // Appends at least one and at most `room` bytes to `out`; false, appending
    // nothing, at the end of the last input or after a failure.
    bool readSome(platform::BigBuffer<char>& out, std::size_t room);
    // Appends all that is left, a regular file in one read into room of its size.
    void readRest(platform::BigBuffer<char>& out);
    // Reads all that is left without keeping it.
    void skipRest();

    const std::optional<InputFailure>& failure() const { return failure_; }

  private:
    static constexpr std::size_t kAsFits = static_cast<std::size_t>(-1);

    bool openNext();
    void closeCurrent();
    void fail(int error);

    std::span<const std::string> names_;
    std::size_t next_ = 0;  // index of the next input to open
    int stdinFd_;
    int fd_ = -1;  // the input being read, -1 between inputs
    bool ownsFd_ = false;
    std::size_t fileLeft_ = 0;  // bytes a regular file still holds by its size
    std::size_t maxBytes_;
    std::size_t total_ = 0;
    char last_ = '\n';  // last byte appended ('\n' before any)
    std::optional<InputFailure> failure_;
};

// Reads the named inputs in order into `out` as one text ("-" is `stdinFd`, no
// names means standard input alone), putting a LF between two inputs where the
// first does not end with one. A directory is refused (EISDIR); a FIFO is read as
// a pipe. Input beyond `maxBytes` in all is refused (EFBIG) rather than read on
// without end (/dev/zero).
std::optional<InputFailure> readInputs(std::span<const std::string> names, int stdinFd,
                                       std::size_t maxBytes, platform::BigBuffer<char>& out);

}  // namespace corvalo::cli
