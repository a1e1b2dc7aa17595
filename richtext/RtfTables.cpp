#include "richtext/RtfListener.h"

int CodePageOfCharset(int charset) {
  switch (charset) {
    case 0:
      return 1252;
    case 2:
      return kSymbolCodePage;
    case 77:
      return 10000;
    case 128:
      return 932;
    case 129:
      return 949;
    case 130:
      return 1361;
    case 134:
      return 936;
    case 136:
      return 950;
    case 161:
      return 1253;
    case 162:
      return 1254;
    case 163:
      return 1258;
    case 177:
      return 1255;
    case 178:
      return 1256;
    case 186:
      return 1257;
    case 204:
      return 1251;
    case 222:
      return 874;
    case 238:
      return 1250;
    case 254:
      return 437;
    case 255:
      return 850;
    default:
      return 0;  // 1 (default) and unknown charsets: the document's code page
  }
}

const TRtfFont* TRtfTables::FindFont(int number) const {
  auto it = Fonts.find(number);
  if (it == Fonts.end()) it = Fonts.find(DefaultFont);
  return it == Fonts.end() ? nullptr : &it->second;
}

int TRtfTables::CodePageOf(int number) const {
  if (const TRtfFont* font = FindFont(number)) {
    if (font->CodePage > 0) return font->CodePage;
    if (font->Charset >= 0) {
      if (int cp = CodePageOfCharset(font->Charset); cp > 0) return cp;
    }
  }
  return AnsiCodePage > 0 ? AnsiCodePage : 1252;
}

std::optional<uint32_t> TRtfTables::Color(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= Colors.size()) return std::nullopt;
  return Colors[static_cast<size_t>(index)];
}
