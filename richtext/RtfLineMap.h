#pragma once
// Each plain-text line of an RTF text mapped back to its bytes: where the
// line's paragraph (or its part up to a \line) stands in the RTF, how it
// ends, and the formatting in force where it starts. Built in the reading
// pass that gives the plain text, so that its lines are exactly those of
// RtfToPlainTextLines. Qt-free.
//
// The lines partition the body: line i's bytes run from where line i - 1's
// end (and the file line breaks after it) stop to where its own end stops;
// before the first line stands the header (\rtf, font and colour tables and
// the other groups that come before any text), after the last one the tail
// (the document's closing brace, and whatever shows no text).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "richtext/RtfListener.h"
#include "richtext/RtfPlainText.h"

/// How a plain-text line ends in the RTF.
enum class TRtfLineEnd : uint8_t {
  None,       // the last line, which nothing ends
  Paragraph,  // \par and what acts like it (\page, \sect, an escaped CR or LF)
  LineBreak,  // \line inside a paragraph
  Row,        // \row: a table row is one line
};

/// Where one plain-text line comes from.
struct TRtfLineSource {
  size_t Begin = 0;     // the line's bytes are [Begin, End)
  size_t End = 0;       // past its end and the raw CR and LF after it
  size_t TextEnd = 0;   // where its end (the \par, \line or \row) starts; End when None
  size_t BreakEnd = 0;  // where its end stops (before the raw CR and LF); End when None
  TRtfLineEnd LineEnd = TRtfLineEnd::None;
  /// The formats of the groups open at Begin, outermost first; the last
  /// one is in force there. Never empty.
  std::vector<TRtfFormatState> States;
  /// The format of the paragraph the line belongs to, as its end states it
  /// (for a line that a \line ends, the end of the paragraph it goes on in).
  TRtfParaFormat Paragraph;
  const TRtfFormatState& Format() const { return States.back(); }
};

/// The lines of an RTF text and where each comes from.
struct TRtfLineMap {
  static constexpr size_t npos = std::string_view::npos;
  /// UTF-8 plain lines, exactly those RtfToPlainTextLines gives.
  std::vector<std::string> Lines;
  /// One per line; for text that is not RTF, the line's bytes and its line
  /// break, in the default format.
  std::vector<TRtfLineSource> Sources;
  bool IsRtf = false;
  size_t BodyBegin = 0;  // end of the header: where the first line starts
  size_t TailBegin = 0;  // where the last line ends
  /// The tables as the reader read them.
  TRtfTables Tables;
  /// The {\fonttbl} and {\colortbl} groups, braces included; npos when absent.
  size_t FontTableBegin = npos, FontTableEnd = npos;
  size_t ColorTableBegin = npos, ColorTableEnd = npos;
};

/// Maps the lines of RTF, or of text that is not RTF (Windows-1252 lines).
TRtfLineMap MapRtfLines(std::string_view rtf, const TCodePageDecoder& decode);
