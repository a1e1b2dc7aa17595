#pragma once
// UTF-8 awareness for the line difference: the texts the window compares
// are UTF-8, so ignoring case and ignoring blanks must reach letters and
// spaces beyond ASCII. The engine keeps comparing bytes; these helpers only
// shape the comparison keys of lines (and words) that hold bytes from 0x80
// on, so ASCII lines never come here.
//
// Bytes that are not well-formed UTF-8 (a Windows-1252 file compared with
// qctool) stand for themselves: each is one unit, tested against the
// ignore set by its value and never folded.

#include <bitset>
#include <cstddef>
#include <string>
#include <string_view>

namespace dv_unicode {

/// True when no byte of Bytes is 0x80 or above.
bool IsAscii(std::string_view bytes);

/// The code point at Pos and the number of bytes it takes; a byte that does
/// not start well-formed UTF-8 gives 0x110000 + the byte, one byte long.
char32_t Decode(std::string_view bytes, size_t pos, size_t& length);

/// A space character beyond ASCII: no-break space, the spaces of
/// U+2000-U+200A, the narrow and the ideographic space, line and paragraph
/// separators.
bool IsUnicodeSpace(char32_t codePoint);

/// The lower-case partner of an upper-case letter of Latin-1, Latin
/// Extended-A, Greek or Cyrillic (final sigma folds to sigma); any other
/// code point as it is.
char32_t FoldCase(char32_t codePoint);

/// Appends Text to Out with the code points Ignore deletes left out (those
/// below 256 by value; a Unicode space also when Ignore holds the space or
/// 0xA0) and, when Fold, letters folded. Ignore may be null.
void AppendKey(std::string_view text, const std::bitset<256>* ignore, bool fold, std::string& out);

/// The length of the Unicode space at Pos of Text, or 0.
size_t SpaceBytesAt(std::string_view text, size_t pos);

/// Narrows First..Last of Bytes past blanks (bytes 0..32 and Unicode
/// spaces) at the start (Leading) and at the end (Trailing).
void StripBlanks(const char* bytes, size_t& first, size_t& last, bool leading, bool trailing);

}  // namespace dv_unicode
