#pragma once
// The one place where the core's Windows-1252 byte strings meet Qt's
// Unicode strings. Every conversion goes through Qt's own converters so
// that no character is lost or mangled on the way.

#include <QColor>
#include <QString>
#include <string>

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
