#include "app/AppText.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

namespace app {

namespace {
constexpr const char* kCodePage = "windows-1252";

bool IsAscii(const std::string& bytes) {
  for (unsigned char c : bytes)
    if (c >= 0x80) return false;
  return true;
}
}  // namespace

QString ToQString(const std::string& bytes) {
  if (IsAscii(bytes)) return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  // Stateless converters are reused: opening one costs more than a short conversion.
  thread_local QStringDecoder decoder(kCodePage, QStringDecoder::Flag::Stateless);
  return decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string FromQString(const QString& text) {
  thread_local QStringEncoder encoder(kCodePage, QStringEncoder::Flag::Stateless);
  const QByteArray bytes = encoder(text);
  std::string result(bytes.constData(), static_cast<size_t>(bytes.size()));
  // The converter puts its substitute byte (SUB) for a character the code
  // page lacks; a question mark tells the reader more.
  if (!text.contains(QChar(0x1A))) std::replace(result.begin(), result.end(), '\x1A', '?');
  return result;
}

QString MessageToQString(const std::string& bytes) {
  if (IsAscii(bytes)) return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (!utf8.hasError()) return text;
  return ToQString(bytes);
}

std::string FileNameToCore(const QString& fileName) {
  const QByteArray bytes = QFile::encodeName(fileName);
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QColor ToQColor(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

}  // namespace app
