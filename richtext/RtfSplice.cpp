// Splicing plain-text lines between RTF texts (see the header). The target
// is copied around the replaced lines as it stands; each moved line becomes
// a group that first restores the format it had, and the replaced lines
// leave a skeleton of their braces and formatting words for those after.
#include "richtext/RtfSplice.h"

#include <algorithm>
#include <map>
#include <optional>

#include "richtext/RtfKeywords.h"
#include "richtext/RtfLineMap.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfTokenizer.h"

using Id = TRtfKeywordId;

namespace {

constexpr const char* kHexDigits = "0123456789abcdef";

void AppendHexByte(std::string& out, unsigned char c) {
  out += "\\'";
  out += kHexDigits[c >> 4];
  out += kHexDigits[c & 15];
}

/// Bytes as RTF text in the document's code page.
void AppendEscaped(std::string& out, std::string_view bytes) {
  for (char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += ch;
    } else if (c == '\t') {
      out += "\\tab ";
    } else if (c < 0x20 || c >= 0x80) {
      AppendHexByte(out, c);
    } else {
      out += ch;
    }
  }
}

void AppendWord(std::string& out, std::string_view word, int value) {
  out += '\\';
  out += word;
  out += std::to_string(value);
}

bool HasUnicodeWord(std::string_view bytes) {
  for (size_t at = bytes.find("\\u"); at != std::string_view::npos; at = bytes.find("\\u", at + 1)) {
    const char next = at + 2 < bytes.size() ? bytes[at + 2] : ' ';
    if ((next >= '0' && next <= '9') || next == '-') return true;
  }
  return false;
}

struct TToken {
  TRtfToken Token;
  size_t Begin = 0;
  size_t End = 0;  // \bin data included
};

std::vector<TToken> Tokens(std::string_view bytes) {
  std::vector<TToken> tokens;
  TRtfTokenizer tokenizer(bytes);
  for (;;) {
    TToken t;
    t.Token = tokenizer.Next();
    if (t.Token.Kind == TRtfTokenKind::EndOfData) break;
    t.Begin = tokenizer.TokenStart();
    if (t.Token.Kind == TRtfTokenKind::ControlWord && t.Token.Word == "bin" && t.Token.HasParam &&
        !t.Token.Garbage)
      tokenizer.TakeBytes(t.Token.Param);
    t.End = tokenizer.Position();
    tokens.push_back(t);
  }
  return tokens;
}

class TSplicer {
 public:
  TSplicer(std::string_view target, const TRtfLineMap& targetMap, std::string_view source,
           const TRtfLineMap& sourceMap)
      : FTarget(target), FT(targetMap), FSource(source), FS(sourceMap) {}

  /// Rebuild: every line of the result as a group of its own, for texts
  /// too broken for the plain splice to give their lines.
  std::string Splice(int a, int b, int c, int d, bool rebuild);

 private:
  bool Outside(size_t begin, size_t end) const { return end <= FCutBegin || begin >= FCutEnd; }
  int MapFont(int number);
  int MapColor(int index);
  void RestoreParagraph(std::string& out, const TRtfParaFormat& para);
  /// Words that set State, after which the text goes on.
  void Restore(std::string& out, const TRtfFormatState& state);
  void MoveLine(std::string& out, const TRtfLineSource& line);
  /// Source bytes [Begin, End) with fonts and colours renumbered; returns
  /// how many groups they leave open.
  int CopyRewritten(std::string& out, size_t begin, size_t end, const std::vector<TRtfFormatState>& states);
  std::string Skeleton(size_t begin, size_t end, bool& unmatched, bool& untracked) const;

  std::string_view FTarget;
  const TRtfLineMap& FT;
  std::string_view FSource;
  const TRtfLineMap& FS;
  size_t FCutBegin = 0, FCutEnd = 0;
  // Fonts and colours: source number to target number, and the entries to
  // append to the target's tables.
  void Prepare();

  bool FHasFonts = false, FHasColors = false;
  bool FFontsEditable = true, FColorsEditable = true;
  std::map<int, int> FFontMap, FColorMap;
  std::map<int, TRtfFont> FNewFonts;
  std::vector<std::optional<uint32_t>> FColors;  // the target's, then those appended
  size_t FTargetColors = 0;
  int FNextFont = 0;
};

int TSplicer::MapFont(int number) {
  if (!FFontsEditable) return number;
  if (auto it = FFontMap.find(number); it != FFontMap.end()) return it->second;
  // An undeclared number stands for the default font, as the reader takes it.
  auto declared = FS.Tables.Fonts.find(number);
  if (declared == FS.Tables.Fonts.end()) declared = FS.Tables.Fonts.find(FS.Tables.DefaultFont);
  int mapped = number;
  if (declared != FS.Tables.Fonts.end()) {
    const TRtfFont& font = declared->second;
    auto same = [&](const TRtfFont& other) {
      return other.Name == font.Name && other.Charset == font.Charset && other.CodePage == font.CodePage;
    };
    bool found = false;
    for (const auto& [n, other] : FT.Tables.Fonts)
      if (same(other)) {
        mapped = n;
        found = true;
        break;
      }
    for (const auto& [n, other] : FNewFonts)
      if (!found && same(other)) {
        mapped = n;
        found = true;
      }
    if (!found) {
      mapped = FNextFont++;
      FNewFonts[mapped] = font;
    }
  }
  FFontMap[number] = mapped;
  return mapped;
}

int TSplicer::MapColor(int index) {
  // 0 and entries without a value are "automatic" on both sides.
  const std::optional<uint32_t> rgb = index == 0 ? std::nullopt : FS.Tables.Color(index);
  if (!rgb) return 0;
  if (!FColorsEditable) return index;
  if (auto it = FColorMap.find(index); it != FColorMap.end()) return it->second;
  int mapped = -1;
  for (size_t i = 1; i < FColors.size() && mapped < 0; ++i)
    if (FColors[i] == rgb) mapped = static_cast<int>(i);
  if (mapped < 0) {
    if (FColors.empty()) FColors.emplace_back(std::nullopt);  // a new table starts with "automatic"
    mapped = static_cast<int>(FColors.size());
    FColors.push_back(rgb);
  }
  FColorMap[index] = mapped;
  return mapped;
}

void TSplicer::RestoreParagraph(std::string& out, const TRtfParaFormat& para) {
  out += "\\pard";
  if (para.InTable) out += "\\intbl";
  static constexpr const char* kAlign[] = {"", "\\qc", "\\qr", "\\qj"};
  out += kAlign[static_cast<size_t>(para.Alignment)];
  if (para.LeftIndent != 0) AppendWord(out, "li", para.LeftIndent);
  if (para.RightIndent != 0) AppendWord(out, "ri", para.RightIndent);
  if (para.FirstIndent != 0) AppendWord(out, "fi", para.FirstIndent);
  if (para.SpaceBefore != 0) AppendWord(out, "sb", para.SpaceBefore);
  if (para.SpaceAfter != 0) AppendWord(out, "sa", para.SpaceAfter);
  static constexpr const char* kTab[] = {"", "\\tqc", "\\tqr", "\\tqdec"};
  for (const TRtfTabStop& tab : para.Tabs) {
    out += kTab[static_cast<size_t>(tab.Kind)];
    AppendWord(out, "tx", tab.Position);
  }
  if (para.Numbering == TRtfNumbering::Bullet) out += "{\\pn\\pnlvlblt}";
  if (para.Numbering == TRtfNumbering::Decimal) out += "{\\pn\\pnlvlbody\\pndec}";
}

void TSplicer::Restore(std::string& out, const TRtfFormatState& state) {
  RestoreParagraph(out, state.Para);
  const TRtfCharFormat& chr = state.Chr;
  out += "\\plain";
  if (FS.Tables.FindFont(chr.Font) != nullptr) AppendWord(out, "f", MapFont(chr.Font));
  if (chr.SizeHalfPoints != 24) AppendWord(out, "fs", chr.SizeHalfPoints);
  if (chr.Bold) out += "\\b";
  if (chr.Italic) out += "\\i";
  if (chr.Underline) out += "\\ul";
  if (chr.Strike) out += "\\strike";
  if (chr.Hidden) out += "\\v";
  if (chr.Caps == 1) out += "\\caps";
  if (chr.Caps == 2) out += "\\scaps";
  if (chr.VertAlign == 1) out += "\\super";
  if (chr.VertAlign == 2) out += "\\sub";
  if (const int color = MapColor(chr.Color); color != 0) AppendWord(out, "cf", color);
  if (const int color = MapColor(chr.Background); color != 0) AppendWord(out, "highlight", color);
  AppendWord(out, "uc", state.Uc);  // the target's may differ
  out += ' ';
}

int TSplicer::CopyRewritten(std::string& out, size_t begin, size_t end,
                            const std::vector<TRtfFormatState>& states) {
  const std::string_view bytes = FSource.substr(begin, end - begin);
  size_t copied = 0;
  int depth = 0;
  size_t closed = 0;  // groups closed that were open where the line starts
  for (const TToken& t : Tokens(bytes)) {
    const TRtfToken& token = t.Token;
    if (token.Kind == TRtfTokenKind::GroupStart) {
      ++depth;
    } else if (token.Kind == TRtfTokenKind::GroupEnd) {
      if (depth > 0) {
        --depth;
      } else {
        // A brace that closes a group opened before the line: the line's
        // own group ends there, and another takes the format that follows.
        out.append(bytes.substr(copied, t.Begin - copied));
        copied = t.End;
        ++closed;
        out += "}{";
        Restore(out, states[states.size() > closed ? states.size() - 1 - closed : 0]);
      }
    } else if (token.Kind == TRtfTokenKind::ControlWord && token.HasParam && !token.Garbage) {
      const TRtfKeyword* kw = FindRtfKeyword(token.Word);
      if (kw != nullptr &&
          (kw->Id == Id::F || kw->Id == Id::Cf || kw->Id == Id::Cb || kw->Id == Id::Highlight)) {
        out.append(bytes.substr(copied, t.Begin - copied));
        copied = t.End;
        AppendWord(out, token.Word, kw->Id == Id::F ? MapFont(token.Param) : MapColor(token.Param));
        if (bytes[t.End - 1] == ' ') out += ' ';
      }
    }
  }
  out.append(bytes.substr(copied));
  return depth;
}

void TSplicer::MoveLine(std::string& out, const TRtfLineSource& line) {
  out += '{';
  Restore(out, line.Format());
  const bool row = line.LineEnd == TRtfLineEnd::Row;
  const size_t end = row ? line.BreakEnd : line.TextEnd;
  const int open = CopyRewritten(out, line.Begin, end, line.States);
  // Fallback units still to skip after a \uN would swallow the words
  // below; a group boundary ends them.
  if (!row && HasUnicodeWord(FSource.substr(line.Begin, end - line.Begin))) out += "{}";
  // Groups the line leaves open may be destinations that would swallow the
  // paragraph end: they are closed first, and the paragraph then ends in
  // the format it had, as it does where it goes on past a \line.
  out.append(static_cast<size_t>(open), '}');
  if (!row && (open > 0 || line.LineEnd == TRtfLineEnd::LineBreak)) RestoreParagraph(out, line.Paragraph);
  if (!row) out += "\\par";
  out += "}\r\n";
}

std::string TSplicer::Skeleton(size_t begin, size_t end, bool& unmatched, bool& untracked) const {
  const std::string_view bytes = FTarget.substr(begin, end - begin);
  const std::vector<TToken> tokens = Tokens(bytes);
  std::vector<size_t> match(tokens.size(), tokens.size());
  std::vector<size_t> open;
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].Token.Kind == TRtfTokenKind::GroupStart) open.push_back(i);
    if (tokens[i].Token.Kind == TRtfTokenKind::GroupEnd && !open.empty()) {
      match[open.back()] = i;
      open.pop_back();
    }
  }
  auto kept = [&](size_t i) {
    const TRtfToken& token = tokens[i].Token;
    if (token.Kind != TRtfTokenKind::ControlWord || token.Garbage) return false;
    const TRtfKeyword* kw = FindRtfKeyword(token.Word);
    return kw == nullptr || !IsRtfContentWord(*kw);
  };
  std::string out;
  bool endsInWord = false;
  for (size_t i = 0; i < tokens.size(); ++i) {
    const TToken& t = tokens[i];
    const TRtfToken& token = t.Token;
    if (token.Kind == TRtfTokenKind::GroupStart && match[i] < tokens.size()) {
      // A group closed among the lines has no effect after them, unless it
      // is a table that what follows reads or numbering (\pn), which sets
      // the paragraph around it.
      size_t first = i + 1;
      if (first < tokens.size() && tokens[first].Token.Kind == TRtfTokenKind::ControlSymbol) ++first;
      if (first < match[i] && tokens[first].Token.Kind == TRtfTokenKind::ControlWord &&
          (tokens[first].Token.Word == "fonttbl" || tokens[first].Token.Word == "colortbl" ||
           tokens[first].Token.Word == "stylesheet" || tokens[first].Token.Word == "pn")) {
        out.append(bytes.substr(t.Begin, tokens[match[i]].End - t.Begin));
        endsInWord = false;
      }
      i = match[i];
      continue;
    }
    switch (token.Kind) {
      case TRtfTokenKind::GroupStart:
      case TRtfTokenKind::GroupEnd:
        unmatched = true;
        out += token.Kind == TRtfTokenKind::GroupStart ? '{' : '}';
        endsInWord = false;
        break;
      case TRtfTokenKind::ControlSymbol:
        if (token.Symbol == '*' && i + 1 < tokens.size() && kept(i + 1)) {
          out += "\\*";
          endsInWord = false;
        }
        break;
      case TRtfTokenKind::ControlWord:
        if (kept(i)) {
          out.append(bytes.substr(t.Begin, t.End - t.Begin));
          endsInWord = bytes[t.End - 1] != ' ';
          if (FindRtfKeyword(token.Word) == nullptr) untracked = true;
        }
        break;
      default:
        break;
    }
  }
  if (endsInWord) out += ' ';
  return out;
}

void TSplicer::Prepare() {
  // The tables can take new entries where they stand outside the cut.
  FHasFonts = FT.FontTableBegin != TRtfLineMap::npos && FT.FontTableEnd != TRtfLineMap::npos;
  FHasColors = FT.ColorTableBegin != TRtfLineMap::npos && FT.ColorTableEnd != TRtfLineMap::npos;
  FFontsEditable = !FHasFonts || Outside(FT.FontTableBegin, FT.FontTableEnd);
  FColorsEditable = !FHasColors || Outside(FT.ColorTableBegin, FT.ColorTableEnd);
  FColors = FT.Tables.Colors;
  FTargetColors = FColors.size();
  FNextFont = FT.Tables.DefaultFont + 1;
  for (const auto& [number, font] : FT.Tables.Fonts) FNextFont = std::max(FNextFont, number + 1);
}

std::string TSplicer::Splice(int a, int b, int c, int d, bool rebuild) {
  const int n = static_cast<int>(FT.Sources.size());
  FCutBegin = a < n ? FT.Sources[static_cast<size_t>(a)].Begin : FT.TailBegin;
  FCutEnd = b < n ? FT.Sources[static_cast<size_t>(b)].Begin : FT.TailBegin;
  std::string lead;
  if (rebuild) {
    FCutBegin = n > 0 ? FT.Sources.front().Begin : FT.TailBegin;
    FCutEnd = FT.TailBegin;
  } else if (a == n && c < d && n > 0 && FT.Sources.back().LineEnd == TRtfLineEnd::None) {
    // Lines added after a last line that nothing ends: end it first.
    lead = HasUnicodeWord(FTarget.substr(FT.Sources.back().Begin)) ? "{}\\par\r\n" : "\\par\r\n";
  } else if (b == n && c == d && a > 0 && a < b &&
             FT.Sources[static_cast<size_t>(a) - 1].LineEnd == TRtfLineEnd::LineBreak) {
    // The new last line would end with a \line, which starts one more.
    FCutBegin = FT.Sources[static_cast<size_t>(a) - 1].TextEnd;
    lead = "\\par\r\n";
  }
  Prepare();

  std::string moved;
  if (rebuild) {
    // Every line as a group of its own: the target's around the moved ones.
    TSplicer self(FTarget, FT, FTarget, FT);
    self.Prepare();
    for (int i = 0; i < a; ++i) self.MoveLine(moved, FT.Sources[static_cast<size_t>(i)]);
    for (int j = c; j < d; ++j) MoveLine(moved, FS.Sources[static_cast<size_t>(j)]);
    for (int i = b; i < n; ++i) self.MoveLine(moved, FT.Sources[static_cast<size_t>(i)]);
  } else {
    for (int j = c; j < d; ++j) MoveLine(moved, FS.Sources[static_cast<size_t>(j)]);
  }
  bool unmatched = false;
  bool untracked = false;
  std::string skeleton = Skeleton(FCutBegin, FCutEnd, unmatched, untracked);
  const bool sameState = b == n || (a < n && FT.Sources[static_cast<size_t>(a)].States ==
                                                 FT.Sources[static_cast<size_t>(b)].States);
  if (!rebuild && !unmatched && sameState && !untracked) skeleton.clear();
  // An empty last line that nothing ends is a line only after a \line;
  // after the paragraph end the replacement ends with, it takes one more.
  if (!rebuild && b == n - 1 && FT.Sources.back().LineEnd == TRtfLineEnd::None && FT.Lines.back().empty() &&
      (c < d || (a > 0 && FT.Sources[static_cast<size_t>(a) - 1].LineEnd != TRtfLineEnd::LineBreak))) {
    // In the paragraph format it had.
    skeleton += '{';
    RestoreParagraph(skeleton, FT.Sources.back().Paragraph);
    skeleton += "\\par}";
  }

  // New table entries, and where they go.
  std::vector<std::pair<size_t, std::string>> inserts;
  if (!FNewFonts.empty()) {
    std::string entries;
    for (const auto& [number, font] : FNewFonts) {
      entries += '{';
      AppendWord(entries, "f", number);
      entries += "\\f";
      entries += font.Family.empty() ? "nil" : font.Family;
      if (font.Charset >= 0) AppendWord(entries, "fcharset", font.Charset);
      if (font.CodePage > 0) AppendWord(entries, "cpg", font.CodePage);
      entries += ' ';
      AppendEscaped(entries, font.Name);
      entries += ";}";
    }
    if (FHasFonts)
      inserts.emplace_back(FT.FontTableEnd - 1, entries);
    else
      inserts.emplace_back(FT.BodyBegin, "{\\fonttbl" + entries + "}\r\n");
  }
  if (FColors.size() > FTargetColors) {
    std::string entries;
    for (size_t i = FTargetColors; i < FColors.size(); ++i) {
      if (!FColors[i]) {
        entries += ';';
        continue;
      }
      const uint32_t rgb = *FColors[i];
      AppendWord(entries, "red", static_cast<int>((rgb >> 16) & 255));
      AppendWord(entries, "green", static_cast<int>((rgb >> 8) & 255));
      AppendWord(entries, "blue", static_cast<int>(rgb & 255));
      entries += ';';
    }
    if (FHasColors)
      inserts.emplace_back(FT.ColorTableEnd - 1, entries);
    else
      inserts.emplace_back(FT.BodyBegin, "{\\colortbl" + entries + "}\r\n");
  }
  std::stable_sort(inserts.begin(), inserts.end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });

  std::string out;
  out.reserve(FTarget.size() + moved.size() + skeleton.size() + 256);
  auto copy = [&](size_t from, size_t to, bool before) {
    for (const auto& [at, text] : inserts) {
      const bool mine = before ? at <= FCutBegin : at > FCutBegin;
      if (!mine || at < from || at > to) continue;
      out.append(FTarget.substr(from, at - from));
      out += text;
      from = at;
    }
    out.append(FTarget.substr(from, to - from));
  };
  copy(0, FCutBegin, true);
  out += lead;
  out += moved;
  out += skeleton;
  // The lines after start a file line of their own where they did (a raw
  // line break ends a control word as a blank does).
  if (FCutEnd > 0 && FTarget[FCutEnd - 1] == '\n' && !out.ends_with('\n')) {
    if (!skeleton.empty() && out.back() == ' ') out.pop_back();
    out += "\r\n";
  }
  copy(FCutEnd, FTarget.size(), false);
  return out;
}

}  // namespace

std::string PlainTextToRtf(std::string_view text) {
  std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\r\n";
  bool first = true;
  for (std::string_view line : SplitPlainLines(text)) {
    if (!first) rtf += "\\par\r\n";
    first = false;
    AppendEscaped(rtf, line);
  }
  rtf += "\r\n}";
  return rtf;
}

std::string SpliceRtfLines(std::string_view target, int a, int b, std::string_view source, int c, int d,
                           const TCodePageDecoder& decode) {
  std::string targetRtf, sourceRtf;
  if (!TRtfReader::IsRtf(target)) target = targetRtf = PlainTextToRtf(target);
  if (!TRtfReader::IsRtf(source)) source = sourceRtf = PlainTextToRtf(source);
  const TRtfLineMap targetMap = MapRtfLines(target, decode);
  const int n = static_cast<int>(targetMap.Sources.size());
  a = std::clamp(a, 0, n);
  b = std::clamp(b, a, n);
  const TRtfLineMap sourceMap = c < d ? MapRtfLines(source, decode) : TRtfLineMap();
  const int m = static_cast<int>(sourceMap.Sources.size());
  c = std::clamp(c, 0, m);
  d = std::clamp(d, c, m);
  if (a == b && c == d) return std::string(target);
  // The result is read back: text broken enough (a brace that closes the
  // document early, a line end inside a destination) gets every line
  // rebuilt instead, and if even that reads wrong, the plain splice stands.
  std::vector<std::string> expected(targetMap.Lines.begin(), targetMap.Lines.begin() + a);
  expected.insert(expected.end(), sourceMap.Lines.begin() + c, sourceMap.Lines.begin() + d);
  expected.insert(expected.end(), targetMap.Lines.begin() + b, targetMap.Lines.end());
  if (expected.empty()) expected.emplace_back();
  std::string spliced = TSplicer(target, targetMap, source, sourceMap).Splice(a, b, c, d, false);
  if (MapRtfLines(spliced, decode).Lines == expected) return spliced;
  std::string rebuilt = TSplicer(target, targetMap, source, sourceMap).Splice(a, b, c, d, true);
  return MapRtfLines(rebuilt, decode).Lines == expected ? rebuilt : spliced;
}
