#pragma once

#include <string>
#include <string_view>

#include "platform/big_buffer.h"

namespace corvalo::platform {

// The code above the platform layer sees text as Windows programs do: one 8-bit
// character per character (Latin-1 here) and CR LF line ends. These functions
// turn Linux text (UTF-8, usually LF line ends) into that form and back.

// The agreed 8-bit character for the no-break and thin spaces used as
// thousands separators (U+00A0, U+2007, U+2009, U+202F).
inline constexpr char kAnsiNoBreakSpace = '\xA0';
// What a character with no 8-bit form becomes: skipped before a number and
// ending one inside it, so it is never read as part of a number.
inline constexpr char kAnsiUnmappable = '?';

// What the en dash (U+2013) and the figure dash (U+2012) become: unmappable as
// a rule, '-' where a statement's dash before a number means a minus.
enum class Dashes { Unmapped, AsMinus };

// One code point to its 8-bit character: Latin-1 as it is, U+2212 MINUS SIGN as
// '-', U+2019 (the Swiss grouping mark) as '\'', the spaces above as 0xA0.
char ansiFromCodePoint(char32_t cp, Dashes dashes = Dashes::Unmapped);

// True when the UTF-8 text is already in 8-bit CR LF form (plain ASCII, no NUL,
// every LF preceded by CR), so it can be used as it is.
bool isAnsiCrLf(std::string_view utf8);

// UTF-8 (invalid bytes each becoming kAnsiUnmappable) to 8-bit text with CR LF
// line ends; the text stops at the first NUL.
void utf8ToAnsi(std::string_view utf8, BigBuffer<char>& out, Dashes dashes = Dashes::Unmapped);
std::string utf8ToAnsi(std::string_view utf8, Dashes dashes = Dashes::Unmapped);

// 8-bit text back to UTF-8 with LF line ends (each CR LF becomes LF).
std::string ansiToUtf8(std::string_view ansi);

// The first character of a UTF-8 text, as an 8-bit character; '\0' when the
// text is empty. A text that is not UTF-8 is taken byte for byte as Latin-1.
char firstAnsiChar(std::string_view text);

}  // namespace corvalo::platform
