#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvalo::clipcalc {

// Turns clipboard text into TAB-separated cells and CR LF rows, each cell reduced
// to a plain number text with `decimal` as its only decimal separator.
std::string cleanClipboardText(std::string_view raw, char decimal, char thousands,
                               bool statementSigns = false);

// One cell's text to its number text: «$1,234.50» -> «1234.50», «(7.25)» -> «-7.25».
// With statementSigns a minus right after the last digit and before a blank, a
// quote or the token's end makes the number negative: «1,234.50-» -> «-1234.50»
// (while «1-5» stays «1»).
std::string cleanNumber(std::string_view token, char decimal, char thousands,
                        bool statementSigns = false);

std::size_t countChar(std::string_view s, char c);

// The building blocks, for callers that keep the text in a buffer of their own.
//
// In place on the mutable text [data, data + len): new length.
std::size_t removeChar(char* data, std::size_t len, char c);
std::size_t collapseRuns(char* data, std::size_t len, char c);
// In place: trims characters of code 32 or below from both ends and, when no TAB
// is left, turns quoted values or blank-separated values into TAB-separated ones.
// «"1","2"» -> «1\t2»; «10 20   30» -> «10\t20\t30». Returns the part that remains.
// A piece of a longer text that holds a TAB is taken as TAB-separated whether or
// not the piece itself holds one (TextLayout::TabSeparated).
enum class TextLayout { Detect, TabSeparated };
std::string_view prepareClipboardText(char* data, std::size_t len,
                                      TextLayout layout = TextLayout::Detect);
// cleanNumber of [p, end) into out, which has room for (end - p) + 1 bytes;
// returns the length written.
std::size_t cleanNumberInto(const char* p, const char* end, char decimal, char thousands,
                            char* out, bool statementSigns = false);

inline bool isTextSeparator(char c) {
    return c == '\t' || c == '\n' || c == '\r';
}

// Splits prepared text at every TAB, LF and CR and hands each token's range
// (empty between two separators) and each separator to the sink, in order:
//   sink.token(first, last)  sink.separator(c)
template <class Sink>
void splitTokens(std::string_view t, Sink& sink) {
    const char* p = t.data();
    const char* const end = p + t.size();
    for (;;) {
        const char* q = p;
        while (q != end && !isTextSeparator(*q)) ++q;
        sink.token(p, q);
        if (q == end) return;
        sink.separator(*q);
        p = q + 1;
    }
}

}  // namespace corvalo::clipcalc
