// The clipboard's text read piece by piece into the 8-bit CR LF text the calculation reads.
#include "platform/clipboard.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace corvalo::platform {
namespace {

// A clipboard that hands its text over in the pieces it is given.
class PiecewiseClipboard final : public Clipboard {
  public:
    std::optional<std::vector<std::string>> pieces;

    std::optional<std::string> text() override { return std::nullopt; }
    void setText(const std::string&) override {}
    bool readUtf8(const Utf8Sink& sink) override {
        if (!pieces) return false;
        for (const std::string& piece : *pieces) sink(piece);
        return true;
    }
};

TEST(ReadAnsiText, ReportsTheBytesReceivedAfterEachPiece) {
    PiecewiseClipboard clipboard;
    clipboard.pieces = std::vector<std::string>{"12\n\xE2\x88", "\x92z\n", std::string("\0x", 2)};
    BigBuffer<char> out;
    std::vector<std::size_t> received;
    ASSERT_TRUE(readAnsiText(clipboard, out, [&](std::size_t n) { received.push_back(n); }));
    EXPECT_EQ(std::string(out.data(), out.size()), "12\r\n-z\r\n");
    EXPECT_EQ(received, (std::vector<std::size_t>{5, 8, 10}));
}

}  // namespace
}  // namespace corvalo::platform
