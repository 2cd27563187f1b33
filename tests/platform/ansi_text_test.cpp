// UTF-8 to the 8-bit CR LF text the calculation reads, whole (utf8ToAnsi) and as it
// arrives in pieces (AnsiCrLfWriter): wherever the pieces are cut, the text is the same.
#include "platform/ansi_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clipboard.h"

namespace corvalo::platform {
namespace {

using namespace std::literals;

struct Row {
    const char* name;
    std::string utf8;
    std::string ansi;
    Dashes dashes = Dashes::Unmapped;
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
    {"a long line of numbers", k15 + k15 + k15 + "\n", k15 + k15 + k15 + "\r\n"},
    {"Latin-1 maps to itself", k15 + "\u00E9\u00A3", k15 + "\xE9\xA3"},
    {"minus sign", "\u22125\n", "-5\r\n"},
    {"grouping spaces", "1\u00A0x\u2007y\u2009z\u202Fw", "1\xA0x\xA0y\xA0z\xA0w"},
    {"Swiss grouping mark", "1\u2019234", "1'234"},
    {"euro sign has no 8-bit form", "\u20AC12", "?12"},
    {"emoji has no 8-bit form", "\U0001F600", "?"},
    {"a byte that begins nothing", "1\x80z\xFFz", "1?z?z"},
    {"overlong NUL", "\xC0\x80z", "?\?z"},
    {"surrogate", "\xED\xA0\x80z", "?\?\?z"},
    {"sequence broken by ASCII", "\xE2\x88z", "?\?z"},
    {"sequence cut off at the end", "5\xE2\x88", "5?\?"},
    {"stops at NUL", std::string("1\n2\0003\n\u2212", 9), "1\r\n2"},
    {"en dash unmapped", "\u20135", "?5"},
    {"en and figure dash as minus", "\u2013\u20125", "--5", Dashes::AsMinus},
    {"em dash unmappable as minus too", "\u20145", "?5", Dashes::AsMinus},
};

std::string written(const std::vector<std::string_view>& pieces, Dashes dashes) {
    BigBuffer<char> out;
    AnsiCrLfWriter writer(out, dashes);
    for (const std::string_view piece : pieces) writer.append(piece);
    writer.finish();
    return std::string(out.data(), out.size());
}

TEST(Utf8ToAnsi, WholeText) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(utf8ToAnsi(row.utf8, row.dashes), row.ansi);
        BigBuffer<char> big;
        utf8ToAnsi(row.utf8, big, row.dashes);
        EXPECT_EQ(std::string(big.data(), big.size()), row.ansi);
    }
}

TEST(AnsiCrLfWriter, CutIntoTwoAnywhereOrOneByteAtATime) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        const std::string_view text = row.utf8;
        std::vector<std::string_view> bytes;
        for (std::size_t cut = 0; cut <= text.size(); ++cut) {
            EXPECT_EQ(written({text.substr(0, cut), text.substr(cut)}, row.dashes), row.ansi)
                << "cut " << cut;
            if (cut < text.size()) bytes.push_back(text.substr(cut, 1));
        }
        EXPECT_EQ(written(bytes, row.dashes), row.ansi);
    }
}

TEST(IsAnsiCrLf, OnlyPlainCrLfTextAndAnsiToUtf8GoesBack) {
    for (const std::string text : {"1\t2\r\n3", ""}) EXPECT_TRUE(isAnsiCrLf(text)) << text;
    for (const std::string& text : {"1\n"s, "\u00E9"s, "1\0"s}) {
        EXPECT_FALSE(isAnsiCrLf(text)) << text;
    }
    EXPECT_EQ(ansiToUtf8("1\xA0x234,50 \xE9\r\n  b \r"), "1\u00A0x234,50 \u00E9\n  b \r");
}

}  // namespace
}  // namespace corvalo::platform
