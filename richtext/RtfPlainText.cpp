#include "richtext/RtfPlainText.h"

#include <iconv.h>

#include <cerrno>

#include "richtext/RtfReader.h"
#include "toolkit/SysUtils.h"

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

std::string IconvName(int codePage) {
  switch (codePage) {
    case 10000:
      return "MACINTOSH";
    case 1361:
      return "JOHAB";
    case 950:
      return "BIG5";
    case 20127:
      return "ASCII";
    case 28591:
      return "ISO-8859-1";
    case 65001:
      return "UTF-8";
    default:
      return Format("CP%d", codePage);
  }
}

iconv_t ConverterFor(int codePage, std::unordered_map<int, void*>& cache) {
  auto it = cache.find(codePage);
  if (it != cache.end()) return static_cast<iconv_t>(it->second);
  iconv_t cd = iconv_open("UTF-8", IconvName(codePage).c_str());
  if (cd == kNoConverter && codePage != 1252) cd = ConverterFor(1252, cache);
  if (cd == kNoConverter) return cd;
  cache.emplace(codePage, static_cast<void*>(cd));
  return cd;
}

}  // namespace

void AppendUtf8(std::string& utf8, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  if (c < 0x80) {
    utf8.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    utf8.push_back(static_cast<char>(0xC0 | (c >> 6)));
    utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    utf8.push_back(static_cast<char>(0xE0 | (c >> 12)));
    utf8.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    utf8.push_back(static_cast<char>(0xF0 | (c >> 18)));
    utf8.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    utf8.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

void AppendDecoded(std::string& utf8, std::string_view bytes, int codePage,
                   std::unordered_map<int, void*>& cache) {
  if (codePage == kSymbolCodePage) {
    for (char ch : bytes) {
      const auto b = static_cast<unsigned char>(ch);
      AppendUtf8(utf8, b == 0xB7 ? char32_t(0x2022) : char32_t(b));
    }
    return;
  }
  iconv_t cd = ConverterFor(codePage, cache);
  if (cd == kNoConverter) {  // no iconv at all: keep ASCII, mark the rest
    for (char ch : bytes)
      AppendUtf8(utf8, static_cast<unsigned char>(ch) < 0x80 ? char32_t(ch) : char32_t(0xFFFD));
    return;
  }
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  char buffer[1024];
  while (inLeft > 0) {
    char* out = buffer;
    size_t outLeft = sizeof buffer;
    const size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
    utf8.append(buffer, static_cast<size_t>(out - buffer));
    if (rc == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // A lead byte cut off at the end of the run is dropped, as Qt's converter does.
      if (errno == EINVAL) break;
      // An undefined byte, or a lead byte without its trail byte. Windows-1252's
      // five undefined bytes stand for the C1 controls, as Qt's converter has it.
      const auto b = static_cast<unsigned char>(*in);
      AppendUtf8(utf8, codePage == 1252 && b >= 0x80 && b < 0xA0 ? char32_t(b) : char32_t(0xFFFD));
      ++in;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
}

void FreeCodePageCache(std::unordered_map<int, void*>& cache) {
  for (auto& [cp, cd] : cache) {
    // The 1252 fallback may be shared by several code pages: close once.
    bool shared = false;
    for (auto& [cp2, cd2] : cache) {
      if (cd2 == cd && cp2 < cp) shared = true;
    }
    if (!shared) iconv_close(static_cast<iconv_t>(cd));
  }
  cache.clear();
}

TRtfPlainTextListener::TRtfPlainTextListener() = default;

TRtfPlainTextListener::~TRtfPlainTextListener() { FreeCodePageCache(FConverters); }

void TRtfPlainTextListener::StartLineIfPending() {
  if (!FPending) return;
  FLines.push_back(std::move(FCurrent));
  FCurrent.clear();
  FPending = false;
}

void TRtfPlainTextListener::Text(std::string_view bytes, int codePage, const TRtfCharFormat&) {
  StartLineIfPending();
  AppendDecoded(FCurrent, bytes, codePage, FConverters);
}

void TRtfPlainTextListener::Unicode(char32_t codePoint, const TRtfCharFormat&) {
  StartLineIfPending();
  AppendUtf8(FCurrent, codePoint);
}

void TRtfPlainTextListener::LineBreak(const TRtfCharFormat&) {
  StartLineIfPending();
  FLines.push_back(std::move(FCurrent));
  FCurrent.clear();
}

void TRtfPlainTextListener::ParagraphEnd(const TRtfParaFormat&) {
  StartLineIfPending();
  FPending = true;
}

void TRtfPlainTextListener::Finish(const TRtfParaFormat&) {
  FLines.push_back(std::move(FCurrent));
  FCurrent.clear();
  FPending = false;
}

std::vector<std::string_view> SplitPlainLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  size_t i = 0;
  while (i < bytes.size()) {
    if (bytes[i] == '\r' || bytes[i] == '\n') {
      lines.push_back(bytes.substr(start, i - start));
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < bytes.size() || lines.empty()) lines.push_back(bytes.substr(start));
  return lines;
}

std::vector<std::string> RtfToPlainTextLines(std::string_view bytes) {
  if (TRtfReader::IsRtf(bytes)) {
    TRtfPlainTextListener listener;
    TRtfReader reader;
    reader.Read(bytes, listener);
    return listener.Lines();
  }
  std::vector<std::string> lines;
  std::unordered_map<int, void*> cache;
  for (std::string_view line : SplitPlainLines(bytes)) {
    std::string utf8;
    AppendDecoded(utf8, line, 1252, cache);
    lines.push_back(std::move(utf8));
  }
  FreeCodePageCache(cache);
  return lines;
}
