#include "richtext/RtfPlainText.h"

#include "richtext/RtfReader.h"

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
