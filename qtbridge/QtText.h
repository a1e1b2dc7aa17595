#pragma once
// The one boundary between the core's byte strings and Qt's Unicode strings.
// The core keeps its text as Windows-1252 bytes (topics, captions, font
// names), as UTF-8 (plain texts of topics, file names inside messages) or,
// inside RTF, as bytes of the code page a font names. Every conversion of
// the program goes through here, and through Qt's own converters, so that a
// byte reads the same on the screen, in the comparison and in qctool.
//
// Needs Qt6::Core only: qctool and the core's tests use it too.

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

namespace qtbridge {

/// The core's own code page.
inline constexpr int kAnsiCodePage = 1252;
/// The code page of the Symbol font (Windows' CP_SYMBOL): bytes are read as
/// Latin-1, except that 0xB7 is the bullet the font draws there.
inline constexpr int kSymbolCodePage = 42;

// --- Windows-1252 ----------------------------------------------------------------

/// Windows-1252 bytes as text; every byte is a character (the five bytes the
/// code page leaves undefined stand for the C1 controls).
QString AnsiToQString(std::string_view bytes);

/// The byte that stands for one UTF-16 unit in Windows-1252, or -1 when the
/// code page lacks it.
int AnsiByteOf(char16_t unit);

/// Text as Windows-1252 bytes; a character the code page lacks becomes '?'
/// (one '?' for a surrogate pair).
std::string QStringToAnsi(QStringView text);

/// Appends Text as Windows-1252, one byte per UTF-16 unit so that byte
/// positions stay those of the text; a unit the code page lacks becomes '?'.
/// False when any did.
bool AppendAnsiPerUnit(std::string& bytes, QStringView text);

// --- UTF-8 -------------------------------------------------------------------------

QString Utf8ToQString(std::string_view bytes);
std::string QStringToUtf8(QStringView text);

/// True when Bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view bytes);

/// Core text that is UTF-8 or Windows-1252 (the plain text of a topic beside
/// the lines of a file; a message with a file name in it): UTF-8 when the
/// bytes are valid UTF-8, else Windows-1252. Nothing turns into '?'.
QString CoreTextToQString(std::string_view bytes);

// --- Code pages ----------------------------------------------------------------------

/// Qt's name of the converter for a Windows code page, or an empty string
/// when Qt has none (such a code page is read as Windows-1252).
std::string CodePageConverterName(int codePage);

/// Bytes of a Windows code page as text, through Qt's converter for it. An
/// unknown code page is read as Windows-1252; a byte sequence the code page
/// does not define becomes what Qt's converter makes of it (U+FFFD mostly), a
/// lead byte cut off at the end is dropped.
QString CodePageToQString(std::string_view bytes, int codePage);

/// The same as UTF-8: what the Qt-free RTF reader's plain text is given as
/// its decoder, so that it reads every byte as the rich-text view does.
std::string CodePageToUtf8(std::string_view bytes, int codePage);

// --- File names ----------------------------------------------------------------------

/// A file name as the core opens it (the file system's own encoding).
std::string FileNameToCore(const QString& fileName);

}  // namespace qtbridge
