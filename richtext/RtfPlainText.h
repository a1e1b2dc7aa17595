#pragma once
// Plain text of RTF without Qt: the same lines the rich-text view reports,
// as UTF-8. Bytes are decoded with the C library's iconv.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "richtext/RtfListener.h"

/// Collects the shown text, one line per paragraph; a line break inside a
/// paragraph also starts a line. An empty paragraph after the last
/// paragraph end is not a line (as in the view).
class TRtfPlainTextListener : public TRtfListener {
 public:
  TRtfPlainTextListener();
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
  std::unordered_map<int, void*> FConverters;  // code page -> iconv_t
};

/// Appends Bytes in code page CodePage to Utf8; bytes the code page does not
/// define become U+FFFD. Unknown code pages are read as Windows-1252.
/// Converters (iconv handles) are kept in Cache, which the caller frees with
/// FreeCodePageCache.
void AppendDecoded(std::string& utf8, std::string_view bytes, int codePage,
                   std::unordered_map<int, void*>& cache);
void FreeCodePageCache(std::unordered_map<int, void*>& cache);

/// Appends one code point as UTF-8.
void AppendUtf8(std::string& utf8, char32_t codePoint);

/// Splits text that is not RTF into lines at CR LF, CR or LF; a line end at
/// the very end does not start another line.
std::vector<std::string_view> SplitPlainLines(std::string_view bytes);

/// The plain-text lines (UTF-8) of a stream's bytes: RTF read by the reader,
/// anything else taken as Windows-1252 text.
std::vector<std::string> RtfToPlainTextLines(std::string_view bytes);
