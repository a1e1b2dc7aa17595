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

bool IsValidUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    const unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    int extra = 0;
    unsigned min = 0;
    if (c >= 0xC2 && c <= 0xDF) {
      extra = 1, min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2, min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3, min = 0x10000;
    } else {
      return false;
    }
    if (end - p <= extra) return false;
    unsigned code = c & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
      if ((p[i] & 0xC0) != 0x80) return false;
      code = (code << 6) | (p[i] & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    p += extra + 1;
  }
  return true;
}

QString CoreTextToQString(std::string_view bytes) {
  if (IsAscii(bytes)) return QString::fromLatin1(View(bytes));
  return IsValidUtf8(bytes) ? Utf8ToQString(bytes) : AnsiToQString(bytes);
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
