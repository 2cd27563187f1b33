#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ansi_text.h"
#include "platform/big_buffer.h"

namespace corvalo::platform {

// Receives a clipboard text as UTF-8, in one piece or in several as it arrives.
using Utf8Sink = std::function<void(std::string_view piece)>;

// The system clipboard in its plain-text format. Every call may throw
// Error("Cannot open clipboard") when another program holds it.
class Clipboard {
  public:
    virtual ~Clipboard() = default;
    // The clipboard's text as UTF-8, or nothing when it offers no plain text.
    virtual std::optional<std::string> text() = 0;
    virtual void setText(const std::string& utf8) = 0;
    // Hands the text to `sink` as it arrives, without a copy of the whole; false (and
    // `sink` never called) when the clipboard offers no plain text. By default: text().
    virtual bool readUtf8(const Utf8Sink& sink);
};

// UTF-8 arriving in pieces to the 8-bit CR LF text the calculation reads, in one
// pass into `out`: the same text as utf8ToAnsi of the whole, wherever it is cut.
class AnsiCrLfWriter {
  public:
    explicit AnsiCrLfWriter(BigBuffer<char>& out, Dashes dashes = Dashes::Unmapped);
    void append(std::string_view utf8);
    // The end of the text: a sequence cut short there becomes unmappable characters.
    void finish();
    // The UTF-8 bytes appended so far, a NUL and what follows it included.
    std::size_t received() const { return received_; }

  private:
    std::size_t convert(const char* s, std::size_t n, bool last, char*& p);

    BigBuffer<char>& out_;
    Dashes dashes_;
    char pending_[8] = {};  // an unfinished sequence at the end of the last piece
    std::size_t pendingSize_ = 0;
    char prev_ = 0;       // the last character written
    bool ended_ = false;  // a NUL ended the text
    std::size_t received_ = 0;
};

// The clipboard's text as the calculation reads it: 8-bit with CR LF line ends.
// False (and `out` empty) when the clipboard offers no plain text. `received` hears
// the UTF-8 bytes that have arrived so far, after each piece; `dashes` as utf8ToAnsi.
bool readAnsiText(Clipboard& clipboard, BigBuffer<char>& out,
                  const std::function<void(std::size_t received)>& received = {},
                  Dashes dashes = Dashes::Unmapped);

// Puts 8-bit text on the clipboard, as UTF-8 with LF line ends.
void writeAnsiText(Clipboard& clipboard, std::string_view ansi);

}  // namespace corvalo::platform
