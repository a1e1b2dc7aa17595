#pragma once
// UTF-8 as every part reads and writes it: encoding a code point, decoding
// one step at a time, case folding and blanks beyond ASCII. The line
// difference, the search and the reports all go through here, so that they
// agree on what a character, a letter's case and a blank are.
//
// Bytes that are not well-formed UTF-8 (a Windows-1252 file read as it is)
// stand for themselves: each decodes as one unit of its own, is never
// folded and is never a blank beyond ASCII. Qt-free.

#include <bitset>
#include <cstddef>
#include <string>
#include <string_view>

namespace unicode {

/// Where DecodeUtf8 puts a byte that starts no well-formed sequence: this
/// value plus the byte, one byte long. Never a code point.
inline constexpr char32_t kRawByte = 0x110000;
inline constexpr char32_t kReplacement = 0xFFFD;

/// Appends one code point as UTF-8; a surrogate or a value beyond U+10FFFF
/// (which UTF-8 cannot carry) becomes U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);
/// Bytes read as Latin-1 (each byte its own code point), as UTF-8.
std::string Latin1ToUtf8(std::string_view bytes);

/// Length of the well-formed sequence at Bytes[Pos] (1 to 4), or 0 when
/// none starts there: overlong forms, surrogates and values beyond
/// U+10FFFF are not well-formed.
size_t SequenceLength(std::string_view bytes, size_t pos);

/// The code point at Pos and the number of bytes it takes; a byte that
/// starts no well-formed sequence gives kRawByte + the byte, one byte long.
char32_t DecodeUtf8(std::string_view bytes, size_t pos, size_t& length);

/// True when no byte of Bytes is 0x80 or above.
bool IsAscii(std::string_view bytes);

/// A space character beyond ASCII: no-break space, the spaces of
/// U+2000-U+200A, the narrow and the ideographic space, line and paragraph
/// separators.
bool IsUnicodeSpace(char32_t codePoint);

/// A blank: an ASCII control or space (0 to 32), or a Unicode space.
inline bool IsBlank(char32_t codePoint) { return codePoint <= 32 || IsUnicodeSpace(codePoint); }

/// The lower-case partner of an upper-case letter of Latin-1, Latin
/// Extended-A, Greek or Cyrillic (final sigma folds to sigma, the long s to
/// s); any other code point as it is.
char32_t FoldCase(char32_t codePoint);

/// Text with every letter folded by FoldCase; bytes that are not UTF-8 are
/// copied as they are.
std::string FoldCase(std::string_view utf8);

/// Appends Text to Out with the code points Ignore deletes left out (those
/// below 256 by value, a raw byte by its value; a Unicode space also when
/// Ignore holds the space or 0xA0) and, when Fold, letters folded. Ignore
/// may be null. What the line difference compares lines by.
void AppendKey(std::string_view text, const std::bitset<256>* ignore, bool fold, std::string& out);

/// The length of the Unicode space at Pos of Text, or 0.
size_t SpaceBytesAt(std::string_view text, size_t pos);

/// Narrows First..Last of Bytes past blanks at the start (Leading) and at
/// the end (Trailing).
void StripBlanks(const char* bytes, size_t& first, size_t& last, bool leading, bool trailing);

}  // namespace unicode
