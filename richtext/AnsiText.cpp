#include "richtext/AnsiText.h"

#include <QStringDecoder>
#include <array>

namespace {

// Characters of the bytes 0x80-0xFF, as Qt's converter decodes them.
const std::array<char16_t, 128>& HighHalf() {
  static const std::array<char16_t, 128> table = [] {
    std::array<char16_t, 128> t{};
    QStringDecoder decoder("windows-1252", QStringConverter::Flag::Stateless);
    for (int b = 0x80; b <= 0xFF; ++b) {
      const char byte = static_cast<char>(b);
      const QString s = decoder.decode(QByteArrayView(&byte, 1));
      t[b - 0x80] = s.size() == 1 ? s[0].unicode() : char16_t(0xFFFD);
    }
    return t;
  }();
  return table;
}

}  // namespace

int AnsiByteOf(char16_t c) {
  if (c < 0x80) return c;
  if (c >= 0xA0 && c <= 0xFF) return c;  // Latin-1 row, the same in Windows-1252
  const auto& high = HighHalf();
  for (int i = 0; i < 32; ++i) {
    if (high[i] == c && c != 0xFFFD) return 0x80 + i;
  }
  return -1;
}

std::string EncodeAnsi(QStringView text) {
  std::string bytes;
  bytes.reserve(static_cast<size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    const int b = AnsiByteOf(c);
    if (b >= 0) {
      bytes.push_back(static_cast<char>(b));
      continue;
    }
    bytes.push_back('?');
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
  }
  return bytes;
}

QString DecodeAnsi(std::string_view bytes) {
  QStringDecoder decoder("windows-1252", QStringConverter::Flag::Stateless);
  return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}
