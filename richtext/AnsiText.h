#pragma once
// Windows-1252 at the Qt boundary: the core's text is Windows-1252 bytes.

#include <QString>
#include <string>
#include <string_view>

/// The byte that stands for Character in Windows-1252, or -1 when the code
/// page lacks it (derived from Qt's converter, once).
int AnsiByteOf(char16_t character);

/// Text as Windows-1252 bytes; a character the code page lacks becomes '?'
/// (one '?' for a surrogate pair).
std::string EncodeAnsi(QStringView text);

/// Windows-1252 bytes as text.
QString DecodeAnsi(std::string_view bytes);
