#include "app/AppText.h"

#include "compare/ComparisonSession.h"
#include "qtbridge/QtGraphics.h"
#include "qtbridge/QtText.h"

namespace app {

QString ToQString(const std::string& bytes) { return qtbridge::AnsiToQString(bytes); }

std::string FromQString(const QString& text) { return qtbridge::QStringToAnsi(text); }

QString MessageToQString(const std::string& bytes) { return qtbridge::CoreTextToQString(bytes); }

std::string FileNameToCore(const QString& fileName) { return qtbridge::FileNameToCore(fileName); }

QColor ToQColor(TColor color) { return qtbridge::ToQColor(color); }

}  // namespace app
