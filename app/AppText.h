#pragma once
// The window's names for the conversions at the Qt boundary. They all
// forward to qtbridge/, the program's one set of conversions, so that the
// window, the rich-text view, the difference viewer and qctool read every
// byte alike.

#include <QColor>
#include <QString>
#include <string>
#include <string_view>

#include "toolkit/Graphics.h"

namespace app {

/// Windows-1252 bytes of the core to a QString.
QString ToQString(const std::string& bytes);
/// A QString back to Windows-1252 bytes; characters the code page lacks become '?'.
std::string FromQString(const QString& text);

/// The text of an error for the user. Messages are Windows-1252, but file
/// names inside them come from the file system as UTF-8 bytes; a message
/// that is valid UTF-8 is therefore read as UTF-8, any other as Windows-1252.
QString MessageToQString(const std::string& bytes);

/// A file name as the core opens it (the file system's own encoding).
std::string FileNameToCore(const QString& fileName);

/// A toolkit colour (RGB or system colour) as Qt draws it.
QColor ToQColor(TColor color);

}  // namespace app
