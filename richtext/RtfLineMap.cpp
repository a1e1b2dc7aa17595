#include "richtext/RtfLineMap.h"

#include <deque>

#include "richtext/RtfKeywords.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfTokenizer.h"

using Id = TRtfKeywordId;

namespace {

size_t SkipLineBreaks(std::string_view data, size_t at) {
  while (at < data.size() && (data[at] == '\r' || data[at] == '\n')) ++at;
  return at;
}

/// Past one CR LF, CR or LF at At.
size_t SkipLineBreak(std::string_view data, size_t at) {
  if (at >= data.size()) return at;
  if (data[at] == '\r') return at + 1 < data.size() && data[at + 1] == '\n' ? at + 2 : at + 1;
  return data[at] == '\n' ? at + 1 : at;
}

/// Tokens after which a line may start: the states there are kept until
/// the reader says which of them ended a line (a \par in a table is told late).
bool MayEndLine(const TRtfToken& token) {
  if (token.Kind == TRtfTokenKind::HexByte) return true;
  if (token.Kind != TRtfTokenKind::ControlWord) return false;
  const TRtfKeyword* kw = FindRtfKeyword(token.Word);
  if (kw == nullptr) return false;
  switch (kw->Id) {
    case Id::Par:
    case Id::Line:
    case Id::Row:
    case Id::NestRow:
    case Id::Page:
    case Id::Sect:
    case Id::U:
      return true;
    default:
      return false;
  }
}

/// Tokens that begin the body: text, or words that stand for it.
bool StartsBody(const TRtfToken& token) {
  switch (token.Kind) {
    case TRtfTokenKind::Text:
    case TRtfTokenKind::HexByte:
      return true;
    case TRtfTokenKind::ControlSymbol:
      return token.Symbol == '\\' || token.Symbol == '{' || token.Symbol == '}' || token.Symbol == '~' ||
             token.Symbol == '_';
    case TRtfTokenKind::ControlWord: {
      const TRtfKeyword* kw = FindRtfKeyword(token.Word);
      return kw != nullptr && (IsRtfContentWord(*kw) || kw->Id == Id::Intbl);
    }
    default:
      return false;
  }
}

/// The plain-text listener, watching where each of its lines comes from.
class TLineMapListener : public TRtfPlainTextListener {
 public:
  TLineMapListener(const TRtfReader& reader, std::string_view data, TCodePageDecoder decode, TRtfLineMap& map)
      : TRtfPlainTextListener(std::move(decode)), FReader(reader), FData(data), FMap(map) {}

  void BeforeToken(const TRtfToken& token) override {
    const size_t begin = FReader.TokenBegin();
    const size_t end = FReader.TokenEnd();
    // The state after the previous token: where a line may start.
    if (FPreviousMayEnd) {
      if (FStates.size() >= 8) FStates.pop_front();
      FStates.push_back({FPreviousEnd, FReader.StateStack()});
    }
    if (FHeaderStatePending) {
      FHeaderState = FReader.StateStack();
      FHeaderStatePending = false;
    }
    FPreviousMayEnd = MayEndLine(token);
    FPreviousEnd = end;
    const size_t depth = FReader.Depth();
    if (token.Kind == TRtfTokenKind::GroupStart) FGroupStart = begin;
    if (token.Kind == TRtfTokenKind::ControlWord) {
      if (token.Word == "fonttbl" && FMap.FontTableBegin == TRtfLineMap::npos) {
        FMap.FontTableBegin = FGroupStart;
        FFontDepth = depth;
      } else if (token.Word == "colortbl" && FMap.ColorTableBegin == TRtfLineMap::npos) {
        FMap.ColorTableBegin = FGroupStart;
        FColorDepth = depth;
      }
    }
    if (token.Kind == TRtfTokenKind::GroupEnd) {
      if (depth == FFontDepth && FMap.FontTableEnd == TRtfLineMap::npos) FMap.FontTableEnd = end;
      if (depth == FColorDepth && FMap.ColorTableEnd == TRtfLineMap::npos) FMap.ColorTableEnd = end;
      if (depth == 1) FDocumentClose = begin;
    }
    if (!FBodyStarted) {
      if (StartsBody(token) && FReader.InShownText()) {
        FBodyStarted = true;
      } else if ((token.Kind == TRtfTokenKind::GroupEnd && depth == 2) ||
                 (token.Kind == TRtfTokenKind::ControlWord && depth == 1 && FHeaderEnd == 0 &&
                  (token.Word == "rtf" || token.Word == "urtf"))) {
        FHeaderEnd = end;
        FHeaderStatePending = true;
      }
    } else if (StartsBody(token) || token.Kind == TRtfTokenKind::ControlSymbol) {
      FLastContentEnd = end;
    }
  }

  void Text(std::string_view bytes, int codePage, const TRtfCharFormat& format) override {
    StartFirstLine();
    FContentSinceBreak = true;
    TRtfPlainTextListener::Text(bytes, codePage, format);
  }
  void Unicode(char32_t codePoint, const TRtfCharFormat& format) override {
    StartFirstLine();
    FContentSinceBreak = true;
    TRtfPlainTextListener::Unicode(codePoint, format);
  }
  void LineBreak(const TRtfCharFormat& format) override {
    EndLine(TRtfLineEnd::LineBreak);
    TRtfPlainTextListener::LineBreak(format);
  }
  void ParagraphEnd(const TRtfParaFormat& format) override {
    const std::string_view at = FData.substr(FReader.BreakBegin());
    const bool row = at.starts_with("\\row") || at.starts_with("\\nestrow");
    EndLine(row ? TRtfLineEnd::Row : TRtfLineEnd::Paragraph);
    SetParagraph(format);
    TRtfPlainTextListener::ParagraphEnd(format);
  }
  void Finish(const TRtfParaFormat& format) override {
    StartFirstLine();
    TRtfPlainTextListener::Finish(format);
    if (FLastWasParagraphEnd && !FContentSinceBreak) {
      // The paragraph end stands for the last line itself: nothing follows.
      FMap.TailBegin = FLine.Begin;
    } else {
      size_t end = FData.size();
      if (FDocumentClose != TRtfLineMap::npos && FDocumentClose >= FLine.Begin &&
          FLastContentEnd <= FDocumentClose)
        end = FDocumentClose;
      FLine.End = FLine.TextEnd = FLine.BreakEnd = end;
      FLine.LineEnd = TRtfLineEnd::None;
      FMap.Sources.push_back(std::move(FLine));
      FMap.TailBegin = end;
    }
    SetParagraph(format);
  }

 private:
  void StartFirstLine() {
    if (FStarted) return;
    FStarted = true;
    FLine.Begin = SkipLineBreaks(FData, FHeaderEnd);
    FLine.States = FHeaderState.empty() ? FReader.StateStack() : FHeaderState;
    FMap.BodyBegin = FLine.Begin;
  }

  /// The lines of the paragraph that has just ended.
  void SetParagraph(const TRtfParaFormat& format) {
    for (; FParagraphFrom < FMap.Sources.size(); ++FParagraphFrom)
      FMap.Sources[FParagraphFrom].Paragraph = format;
  }

  void EndLine(TRtfLineEnd how) {
    StartFirstLine();
    FLine.TextEnd = FReader.BreakBegin();
    FLine.BreakEnd = FReader.BreakEnd();
    FLine.End = std::max(SkipLineBreaks(FData, FLine.BreakEnd), FLine.Begin);
    FLine.LineEnd = how;
    const size_t next = FLine.End;
    const size_t after = FLine.BreakEnd;
    FMap.Sources.push_back(std::move(FLine));
    FLine = TRtfLineSource();
    FLine.Begin = next;
    for (auto it = FStates.rbegin(); it != FStates.rend(); ++it)
      if (it->first == after) {
        FLine.States = it->second;
        break;
      }
    if (FLine.States.empty()) FLine.States = FReader.StateStack();
    FLastWasParagraphEnd = how != TRtfLineEnd::LineBreak;
    FContentSinceBreak = false;
  }

  const TRtfReader& FReader;
  std::string_view FData;
  TRtfLineMap& FMap;
  TRtfLineSource FLine;  // the line being read
  bool FStarted = false;
  size_t FParagraphFrom = 0;  // the first line whose paragraph goes on
  bool FLastWasParagraphEnd = false;
  bool FContentSinceBreak = false;
  // States after tokens that may end a line, by their end.
  std::deque<std::pair<size_t, std::vector<TRtfFormatState>>> FStates;
  bool FPreviousMayEnd = false;
  size_t FPreviousEnd = 0;
  // The header: groups of the document closed before any text.
  bool FBodyStarted = false;
  size_t FHeaderEnd = 0;
  bool FHeaderStatePending = false;
  std::vector<TRtfFormatState> FHeaderState;
  size_t FGroupStart = 0;
  size_t FFontDepth = TRtfLineMap::npos, FColorDepth = TRtfLineMap::npos;
  size_t FDocumentClose = TRtfLineMap::npos;
  size_t FLastContentEnd = 0;
};

}  // namespace

TRtfLineMap MapRtfLines(std::string_view rtf, const TCodePageDecoder& decode) {
  TRtfLineMap map;
  map.IsRtf = TRtfReader::IsRtf(rtf);
  if (!map.IsRtf) {
    // Plain text: a line and its line break are its bytes.
    for (std::string_view line : SplitPlainLines(rtf)) {
      TRtfLineSource source;
      source.Begin = static_cast<size_t>(line.data() - rtf.data());
      source.TextEnd = source.Begin + line.size();
      source.BreakEnd = SkipLineBreak(rtf, source.TextEnd);
      source.End = source.BreakEnd;
      source.LineEnd = source.End > source.TextEnd ? TRtfLineEnd::Paragraph : TRtfLineEnd::None;
      source.States.emplace_back();
      map.Lines.push_back(decode(line, 1252));
      map.Sources.push_back(std::move(source));
    }
    map.TailBegin = map.Sources.empty() ? rtf.size() : map.Sources.back().End;
    return map;
  }
  TRtfReader reader;
  TLineMapListener listener(reader, rtf, decode, map);
  reader.Read(rtf, listener);
  map.Lines = listener.Lines();
  map.Tables = reader.Tables();
  return map;
}
