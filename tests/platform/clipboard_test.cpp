// The clipboard's text as it arrives in pieces, turned into the 8-bit CR LF text
// the calculation reads: wherever the pieces are cut, the text is the same.
#include "platform/clipboard.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace corvalo::platform {
namespace {

std::string converted(const std::vector<std::string_view>& pieces) {
    BigBuffer<char> out;
    AnsiCrLfWriter writer(out);
    for (const std::string_view piece : pieces) writer.append(piece);
    writer.finish();
    return std::string(out.data(), out.size());
}

struct Row {
    const char* name;
    std::string utf8;
    std::string ansi;
};

// 15 ASCII characters: puts the next byte on a 16-byte boundary.
const std::string k15 = "123456789012345";

const Row kRows[] = {
    {"empty", "", ""},
    {"ASCII with CR LF stays", "1\t2\r\n3\t4\r\n", "1\t2\r\n3\t4\r\n"},
    {"LF becomes CR LF", "12\n30\n8\n", "12\r\n30\r\n8\r\n"},
    {"lone CR stays", "1\r2\r", "1\r2\r"},
    {"CR LF across a block edge", k15 + "\r\n" + k15 + "\n", k15 + "\r\n" + k15 + "\r\n"},
    {"LF first in a block", k15 + "x\n" + k15, k15 + "x\r\n" + k15},
    {"minus sign",
     "\xE2\x88\x92"
     "5\n",
     "-5\r\n"},
    {"no-break and thin spaces",
     "1\xC2\xA0"
     "234\xE2\x80\x89"
     "5",
     "1\xA0"
     "234\xA0"
     "5"},
    {"Latin-1 letters", k15 + "\xC3\xA9\xC2\xA3", k15 + "\xE9\xA3"},
    {"euro sign has no 8-bit form",
     "\xE2\x82\xAC"
     "5",
     "?5"},
    {"a byte that begins nothing",
     "1\x80"
     "2",
     "1?2"},
    {"overlong NUL",
     "\xC0\x80"
     "7",
     "?\?7"},
    {"surrogate",
     "\xED\xA0\x80"
     "7",
     "?\?\?7"},
    {"sequence broken by ASCII",
     "\xE2\x88"
     "5",
     "?\?5"},
    {"sequence broken by another",
     "\xE2\x88\xE2\x88\x92"
     "5",
     "?\?-5"},
    {"sequence cut off at the end", "5\xE2\x88", "5?\?"},
    {"stops at NUL",
     "1\n2\0"
     "3\n\xE2\x88\x92",
     std::string("1\r\n2")},
    {"NUL first",
     std::string("\0"
                 "12\n",
                 4),
     ""},
    {"a long line of numbers", k15 + k15 + k15 + "\n", k15 + k15 + k15 + "\r\n"},
};

TEST(AnsiCrLfWriter, WholeText) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(converted({row.utf8}), row.ansi);
    }
}

TEST(AnsiCrLfWriter, CutIntoTwoAnywhere) {
    for (const Row& row : kRows) {
        const std::string_view text = row.utf8;
        for (std::size_t cut = 0; cut <= text.size(); ++cut) {
            SCOPED_TRACE(std::string(row.name) + ", cut at " + std::to_string(cut));
            EXPECT_EQ(converted({text.substr(0, cut), text.substr(cut)}), row.ansi);
        }
    }
}

TEST(AnsiCrLfWriter, OneByteAtATime) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string_view> bytes;
        for (std::size_t i = 0; i < row.utf8.size(); ++i) {
            bytes.push_back(std::string_view(row.utf8).substr(i, 1));
        }
        EXPECT_EQ(converted(bytes), row.ansi);
    }
}

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
    clipboard.pieces = std::vector<std::string>{"12\n\xE2\x88",
                                                "\x92"
                                                "3\n",
                                                std::string("\0x", 2)};
    BigBuffer<char> out;
    std::vector<std::size_t> received;
    ASSERT_TRUE(
        readAnsiText(clipboard, out, [&received](std::size_t n) { received.push_back(n); }));
    EXPECT_EQ(std::string(out.data(), out.size()), "12\r\n-3\r\n");
    EXPECT_EQ(received, (std::vector<std::size_t>{5, 8, 10}));
}

TEST(ReadAnsiText, NothingOfferedLeavesNothing) {
    PiecewiseClipboard clipboard;
    BigBuffer<char> out;
    out.append("old", 3);
    EXPECT_FALSE(readAnsiText(clipboard, out));
    EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace corvalo::platform
