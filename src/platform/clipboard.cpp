#include "platform/clipboard.h"

#include <cstring>
#include <string>

#include "platform/ansi_text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace corvalo::platform {

namespace {

// The length a UTF-8 lead byte announces; 1 for a byte that cannot lead.
std::size_t sequenceLength(unsigned char b) {
    if ((b & 0xE0) == 0xC0) return 2;
    if ((b & 0xF0) == 0xE0) return 3;
    if ((b & 0xF8) == 0xF0) return 4;
    return 1;
}

bool continuationBytes(const char* s, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return false;
    }
    return true;
}

// One character from the non-ASCII byte at s[0] (n bytes there): the 8-bit form of a
// whole sequence, or kAnsiUnmappable for a byte that begins none, as utf8ToAnsi reads them.
char nonAsciiChar(const char* s, std::size_t n, Dashes dashes, std::size_t& consumed) {
    const std::size_t length = sequenceLength(static_cast<unsigned char>(s[0]));
    if (length <= n) {
        // A valid sequence gives one character; a broken one at least two.
        const std::string one = utf8ToAnsi(std::string_view(s, length), dashes);
        if (one.size() == 1) {
            consumed = length;
            return one[0];
        }
    }
    consumed = 1;
    return kAnsiUnmappable;
}

}  // namespace

bool Clipboard::readUtf8(const Utf8Sink& sink) {
    const std::optional<std::string> utf8 = text();
    if (!utf8) return false;
    sink(*utf8);
    return true;
}

AnsiCrLfWriter::AnsiCrLfWriter(BigBuffer<char>& out, Dashes dashes) : out_(out), dashes_(dashes) {
    out_.clear();
}

void AnsiCrLfWriter::append(std::string_view utf8) {
    received_ += utf8.size();
    if (ended_ || utf8.empty()) return;
    if (const void* nul = std::memchr(utf8.data(), 0, utf8.size())) {
        utf8 =
            utf8.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - utf8.data()));
        ended_ = true;
    }
    // Each byte gives at most two characters (CR LF for LF).
    out_.reserve(out_.size() + 2 * (utf8.size() + pendingSize_) + 1);
    char* p = out_.data() + out_.size();
    if (pendingSize_ > 0) {
        // The sequence cut at the end of the last piece takes its continuation bytes.
        const std::size_t length = sequenceLength(static_cast<unsigned char>(pending_[0]));
        while (pendingSize_ < length && !utf8.empty() && continuationBytes(utf8.data(), 1)) {
            pending_[pendingSize_++] = utf8.front();
            utf8.remove_prefix(1);
        }
        if (pendingSize_ == length || !utf8.empty() || ended_) {
            convert(pending_, pendingSize_, true, p);
            pendingSize_ = 0;
        }
    }
    const std::size_t used = convert(utf8.data(), utf8.size(), ended_, p);
    if (used < utf8.size()) {
        pendingSize_ = utf8.size() - used;
        std::memcpy(pending_, utf8.data() + used, pendingSize_);
    }
    out_.resizeUninitialized(static_cast<std::size_t>(p - out_.data()));
}

void AnsiCrLfWriter::finish() {
    if (pendingSize_ == 0) return;
    out_.reserve(out_.size() + pendingSize_);
    char* p = out_.data() + out_.size();
    convert(pending_, pendingSize_, true, p);
    pendingSize_ = 0;
    out_.resizeUninitialized(static_cast<std::size_t>(p - out_.data()));
}

// Writes the 8-bit form of s[0, n) at p, which has room for 2 n characters, and
// returns the bytes used: all of them, unless the text goes on (!last) and ends in
// a sequence that its next piece may finish.
std::size_t AnsiCrLfWriter::convert(const char* s, std::size_t n, bool last, char*& p) {
    std::size_t i = 0;
    char prev = prev_;
    while (i < n) {
#if defined(__SSE2__)
        // Sixteen bytes at a time while they need no change: ASCII, every LF after a CR.
        while (n - i >= 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            const auto mask = [v](char c) {
                return static_cast<unsigned>(
                    _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(c))));
            };
            const unsigned crBefore = (mask('\r') << 1) | (prev == '\r' ? 1U : 0U);
            const unsigned change =
                (static_cast<unsigned>(_mm_movemask_epi8(v)) | (mask('\n') & ~crBefore)) & 0xFFFFU;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
            const std::size_t plain =
                change == 0 ? 16 : static_cast<std::size_t>(__builtin_ctz(change));
            p += plain;
            i += plain;
            if (plain != 0) prev = s[i - 1];
            if (plain != 16) break;
        }
        if (i == n) break;
#endif
        const auto b = static_cast<unsigned char>(s[i]);
        char c = static_cast<char>(b);
        if (b < 0x80) {
            ++i;
        } else {
            const std::size_t left = n - i;
            if (!last && sequenceLength(b) > left && continuationBytes(s + i + 1, left - 1)) break;
            std::size_t consumed = 1;
            c = nonAsciiChar(s + i, left, dashes_, consumed);
            i += consumed;
        }
        if (c == '\n' && prev != '\r') *p++ = '\r';
        *p++ = c;
        prev = c;
    }
    prev_ = prev;
    return i;
}

bool readAnsiText(Clipboard& clipboard, BigBuffer<char>& out,
                  const std::function<void(std::size_t received)>& received, Dashes dashes) {
    AnsiCrLfWriter writer(out, dashes);
    const bool offered = clipboard.readUtf8([&writer, &received](std::string_view piece) {
        writer.append(piece);
        if (received) received(writer.received());
    });
    writer.finish();
    if (!offered) out.clear();
    return offered;
}

void writeAnsiText(Clipboard& clipboard, std::string_view ansi) {
    clipboard.setText(ansiToUtf8(ansi));
}

}  // namespace corvalo::platform
