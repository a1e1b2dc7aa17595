#include "richtext/RtfPlainText.h"

#include "richtext/RtfReader.h"

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

TRtfPlainTextListener::TRtfPlainTextListener(TCodePageDecoder decoder) : FDecode(std::move(decoder)) {}

TRtfPlainTextListener::~TRtfPlainTextListener() = default;

void TRtfPlainTextListener::StartLineIfPending() {
  if (!FPending) return;
  FLines.push_back(std::move(FCurrent));
  FCurrent.clear();
  FPending = false;
}

void TRtfPlainTextListener::Text(std::string_view bytes, int codePage, const TRtfCharFormat&) {
  StartLineIfPending();
  FCurrent += FDecode(bytes, codePage);
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

std::vector<std::string> RtfToPlainTextLines(std::string_view bytes, const TCodePageDecoder& decode) {
  if (TRtfReader::IsRtf(bytes)) {
    TRtfPlainTextListener listener(decode);
    TRtfReader reader;
    reader.Read(bytes, listener);
    return listener.Lines();
  }
  std::vector<std::string> lines;
  for (std::string_view line : SplitPlainLines(bytes)) lines.push_back(decode(line, 1252));
  return lines;
}
