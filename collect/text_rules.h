// Byte-position text rules for GBK texts: searches that respect two-byte characters, cuts and middles.
//
// Positions are 1-based byte positions; a failed search gives -1. A byte from 0x81 to 0xFE opens a
// two-byte character, so a match never starts on its second byte. 0x80 (the euro sign in code page
// 936) is a single byte and does not swallow the byte after it.
#pragma once

#include <string>
#include <string_view>

namespace corvelle::collect {

// True for the first byte of a two-byte GBK character.
[[nodiscard]] constexpr bool isLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// Position of the first occurrence of needle at or after start, or -1. A start of 1 or less searches the
// whole text; one beyond the last byte finds nothing. An empty needle is found at 1 in a non-empty text.
[[nodiscard]] int findText(std::string_view source, std::string_view needle, int start = 1);

// Position of the last occurrence of needle that starts on a character boundary, or -1.
[[nodiscard]] int findLastText(std::string_view source, std::string_view needle);

// The middle of a text from position for count bytes; empty when position is below 1 or beyond the end
// or count is 0 or less; stops at the end of the text.
[[nodiscard]] std::string middle(std::string_view text, int position, int count);

// The text between the first startMarker at or after start and the next endMarker after it, both
// excluded; empty when either is missing. An empty startMarker cuts from the beginning of the text.
[[nodiscard]] std::string cutBetween(std::string_view source, std::string_view startMarker,
                                     std::string_view endMarker, int start = 1);

// The bytes from position first to position last, both included; empty when either is -1, first is
// below 1 or beyond the end, or last is below first; stops at the end of the text.
[[nodiscard]] std::string substringByPositions(std::string_view text, int first, int last);

// Every occurrence of from (found left to right on character boundaries) replaced by to.
[[nodiscard]] std::string replaceAll(std::string_view text, std::string_view from, std::string_view to);

}  // namespace corvelle::collect
