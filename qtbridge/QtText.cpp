#include "qtbridge/QtText.h"

#include <QFile>
#include <QStringDecoder>
#include <array>
#include <unordered_map>

namespace qtbridge {

namespace {

QByteArrayView View(std::string_view bytes) { return {bytes.data(), static_cast<qsizetype>(bytes.size())}; }

bool IsAscii(std::string_view bytes) {
  for (const char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Bytes every code page Qt offers reads as ASCII. Qt's tables for the DOS
// code pages and Windows-932 swap 0x1A, 0x1C and 0x7F among themselves,
// so those go through the converter.
bool ReadsAsAscii(std::string_view bytes) {
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x7F || b == 0x1A || b == 0x1C) return false;
  }
  return true;
}

// The characters of the bytes 0x80-0x9F as Qt's converter reads them; the
// rest of Windows-1252 is Latin-1.
const std::array<char16_t, 32>& AnsiC1Row() {
  static const std::array<char16_t, 32> row = [] {
    std::array<char16_t, 32> r{};
    QStringDecoder decoder("windows-1252", QStringConverter::Flag::Stateless);
    for (int b = 0x80; b < 0xA0; ++b) {
      const char byte = static_cast<char>(b);
      const QString s = decoder.decode(QByteArrayView(&byte, 1));
      r[static_cast<size_t>(b - 0x80)] = s.size() == 1 ? s[0].unicode() : char16_t(0xFFFD);
    }
    return r;
  }();
  return row;
}

// Bytes as UTF-8 through Qt's converter, a byte order mark kept as a
// character; false when they are not well-formed UTF-8 (overlong forms,
// surrogates and cut-off sequences are not).
bool DecodeUtf8(std::string_view bytes, QString& text) {
  QStringDecoder utf8(QStringDecoder::Utf8,
                      QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
  text = utf8.decode(View(bytes));
  return !utf8.hasError();
}

// Opening a converter costs more than a short conversion: each thread keeps
// one stateless converter per code page it met (an invalid one for a code
// page Qt lacks).
QStringDecoder& DecoderFor(int codePage) {
  thread_local std::unordered_map<int, QStringDecoder> decoders;
  auto it = decoders.find(codePage);
  if (it == decoders.end()) {
    const std::string name = CodePageConverterName(codePage);
    it =
        decoders
            .emplace(codePage, name.empty() ? QStringDecoder()
                                            : QStringDecoder(name.c_str(), QStringConverter::Flag::Stateless))
            .first;
  }
  return it->second;
}

}  // namespace

// --- Windows-1252 ----------------------------------------------------------------

QString AnsiToQString(std::string_view bytes) {
  if (IsAscii(bytes)) return QString::fromLatin1(View(bytes));
  return DecoderFor(kAnsiCodePage).decode(View(bytes));
}

int AnsiByteOf(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return unit;
  if (unit == 0xFFFD) return -1;
  const auto& row = AnsiC1Row();
  for (size_t i = 0; i < row.size(); ++i)
    if (row[i] == unit) return 0x80 + static_cast<int>(i);
  return -1;
}

std::string QStringToAnsi(QStringView text) {
  std::string bytes;
  bytes.reserve(static_cast<size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i].unicode();
    if (const int b = AnsiByteOf(unit); b >= 0) {
      bytes.push_back(static_cast<char>(b));
      continue;
    }
    bytes.push_back('?');
    if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
  }
  return bytes;
}

bool AppendAnsiPerUnit(std::string& bytes, QStringView text) {
  bool lossless = true;
  const size_t start = bytes.size();
  bytes.resize(start + static_cast<size_t>(text.size()));
  char* p = bytes.data() + start;
  for (const QChar ch : text) {
    const int b = AnsiByteOf(ch.unicode());
    *p++ = b >= 0 ? static_cast<char>(b) : '?';
    if (b < 0) lossless = false;
  }
  return lossless;
}

// --- UTF-8 -------------------------------------------------------------------------

QString Utf8ToQString(std::string_view bytes) { return QString::fromUtf8(View(bytes)); }

std::string QStringToUtf8(QStringView text) {
  const QByteArray bytes = text.toUtf8();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

bool IsValidUtf8(std::string_view bytes) {
  if (IsAscii(bytes)) return true;
  QString text;
  return DecodeUtf8(bytes, text);
}

QString CoreTextToQString(std::string_view bytes) {
  if (IsAscii(bytes)) return QString::fromLatin1(View(bytes));
  QString text;
  return DecodeUtf8(bytes, text) ? text : AnsiToQString(bytes);
}

// --- Code pages ----------------------------------------------------------------------

std::string CodePageConverterName(int codePage) {
  // Names Qt's converters (ICU) accept for what Windows means by the number;
  // "cp874", "cp949" and "cp950" would give neighbouring tables without the
  // Windows additions (the euro sign, the extended Hangul).
  switch (codePage) {
    case 65001:
      return "UTF-8";
    case 10000:
      return "macintosh";
    case 20127:
      return "US-ASCII";
    case 28591:
      return "ISO-8859-1";
    case 874:
    case 932:
    case 936:
    case 949:
    case 950:
      return "windows-" + std::to_string(codePage);
    default:
      break;
  }
  if (codePage >= 1250 && codePage <= 1258) return "windows-" + std::to_string(codePage);
  // Others (the DOS code pages 437, 850, 866, ...) under whichever name Qt knows.
  for (const std::string& name : {"windows-" + std::to_string(codePage), "cp" + std::to_string(codePage),
                                  "IBM" + std::to_string(codePage)}) {
    if (codePage > 0 && QStringDecoder(name.c_str()).isValid()) return name;
  }
  return {};
}

QString CodePageToQString(std::string_view bytes, int codePage) {
  if (codePage == kSymbolCodePage) {
    QString text = QString::fromLatin1(View(bytes));
    text.replace(QChar(0xB7), QChar(0x2022));
    return text;
  }
  if (ReadsAsAscii(bytes)) return QString::fromLatin1(View(bytes));
  QStringDecoder& decoder = DecoderFor(codePage);
  if (!decoder.isValid()) return AnsiToQString(bytes);
  return decoder.decode(View(bytes));
}

std::string CodePageToUtf8(std::string_view bytes, int codePage) {
  if (ReadsAsAscii(bytes)) return std::string(bytes);
  const QString text = CodePageToQString(bytes, codePage);
  return QStringToUtf8(text);
}

// --- File names ----------------------------------------------------------------------

std::string FileNameToCore(const QString& fileName) {
  const QByteArray bytes = QFile::encodeName(fileName);
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace qtbridge
