#pragma once
// Plain text of RTF without Qt: the same lines the rich-text view reports,
// as UTF-8. The reader knows no code page: the bytes of the text come to a
// decoder its caller hands in, the one the view reads them with
// (qtbridge::CodePageToUtf8), so that both agree on every character.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "richtext/RtfListener.h"
#include "toolkit/Unicode.h"

/// Bytes of a Windows code page (RTF's \ansicpg, a font's \fcharset;
/// 42 for the Symbol font) to UTF-8.
using TCodePageDecoder = std::function<std::string(std::string_view bytes, int codePage)>;

/// Collects the shown text, one line per paragraph; a line break inside a
/// paragraph also starts a line. An empty paragraph after the last
/// paragraph end is not a line (as in the view).
class TRtfPlainTextListener : public TRtfListener {
 public:
  explicit TRtfPlainTextListener(TCodePageDecoder decoder);
  ~TRtfPlainTextListener() override;
  TRtfPlainTextListener(const TRtfPlainTextListener&) = delete;
  TRtfPlainTextListener& operator=(const TRtfPlainTextListener&) = delete;

  void Text(std::string_view bytes, int codePage, const TRtfCharFormat& format) override;
  void Unicode(char32_t codePoint, const TRtfCharFormat& format) override;
  void LineBreak(const TRtfCharFormat& format) override;
  void ParagraphEnd(const TRtfParaFormat& format) override;
  void Finish(const TRtfParaFormat& format) override;

  /// The lines, UTF-8, complete after Finish.
  const std::vector<std::string>& Lines() const { return FLines; }

 private:
  void StartLineIfPending();

  std::vector<std::string> FLines;
  std::string FCurrent;
  bool FPending = false;
  TCodePageDecoder FDecode;
};

// The readers append code points as UTF-8 through the shared writer.
using unicode::AppendUtf8;

/// Splits text that is not RTF into lines at CR LF, CR or LF; a line end at
/// the very end does not start another line.
std::vector<std::string_view> SplitPlainLines(std::string_view bytes);

/// The plain-text lines (UTF-8) of a stream's bytes: RTF read by the reader,
/// anything else taken as Windows-1252 text; Decode reads the bytes.
std::vector<std::string> RtfToPlainTextLines(std::string_view bytes, const TCodePageDecoder& decode);
