#include "richtext/RtfFormatRuns.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>

#include "richtext/RtfReader.h"

TRtfFormatRunsListener::TRtfFormatRunsListener(TCodePageDecoder decoder) : FDecode(std::move(decoder)) {}

TRtfFormatRunsListener::~TRtfFormatRunsListener() = default;

void TRtfFormatRunsListener::Start(const TRtfTables& tables) { FTables = &tables; }

const TRunFormat& TRtfFormatRunsListener::Resolve(const TRtfCharFormat& chr) {
  if (FHaveLast && chr == FLastChr) return FLastResolved;
  TRunFormat f;
  f.SizeHalfPoints = chr.SizeHalfPoints;
  f.Bold = chr.Bold;
  f.Italic = chr.Italic;
  f.Underline = chr.Underline;
  f.Strike = chr.Strike;
  f.Caps = chr.Caps;
  f.VertAlign = chr.VertAlign;
  if (FTables) {
    const int number = chr.Font < 0 ? FTables->DefaultFont : chr.Font;
    if (const TRtfFont* font = FTables->FindFont(number)) {
      // The tables may still grow while text is read, so a cached name is
      // checked against the bytes it was decoded from.
      TFontName& name = FFontNames[number];
      if (name.Raw != font->Name || (name.Utf8.empty() && !font->Name.empty())) {
        name.Raw = font->Name;
        name.Utf8 = FDecode(font->Name, FTables->CodePageOf(number));
      }
      f.FontName = name.Utf8;
    }
    f.Color = FTables->Color(chr.Color);
    if (chr.Background > 0) f.Background = FTables->Color(chr.Background);
  }
  FLastChr = chr;
  FLastResolved = std::move(f);
  FHaveLast = true;
  return FLastResolved;
}

void TRtfFormatRunsListener::Append(std::string_view utf8, const TRtfCharFormat& chr) {
  if (utf8.empty()) return;
  const TRunFormat& format = Resolve(chr);
  std::vector<TFormatRun>& runs = FCurrent.Runs;
  const size_t begin = FCurrent.Text.size();
  FCurrent.Text.append(utf8);
  if (!runs.empty() && runs.back().End == begin && runs.back().Format == format) {
    runs.back().End = FCurrent.Text.size();
  } else {
    runs.push_back({begin, FCurrent.Text.size(), format});
  }
}

void TRtfFormatRunsListener::PushCurrent() {
  FLines.push_back(std::move(FCurrent));
  FCurrent = TFormattedLine{};
}

void TRtfFormatRunsListener::StartLineIfPending() {
  if (!FPending) return;
  PushCurrent();
  FPending = false;
}

void TRtfFormatRunsListener::Text(std::string_view bytes, int codePage, const TRtfCharFormat& format) {
  StartLineIfPending();
  Append(FDecode(bytes, codePage), format);
}

void TRtfFormatRunsListener::Unicode(char32_t codePoint, const TRtfCharFormat& format) {
  StartLineIfPending();
  FScratch.clear();
  AppendUtf8(FScratch, codePoint);
  Append(FScratch, format);
}

void TRtfFormatRunsListener::LineBreak(const TRtfCharFormat&) {
  StartLineIfPending();
  PushCurrent();
}

void TRtfFormatRunsListener::ParagraphEnd(const TRtfParaFormat& format) {
  StartLineIfPending();
  for (size_t i = FParaFirst; i < FLines.size(); ++i) FLines[i].Para = format;
  FCurrent.Para = format;
  FPending = true;
  FParaFirst = FLines.size() + 1;  // FCurrent is pushed before the next paragraph's text
}

void TRtfFormatRunsListener::Finish(const TRtfParaFormat& format) {
  if (!FPending) {
    for (size_t i = FParaFirst; i < FLines.size(); ++i) FLines[i].Para = format;
    FCurrent.Para = format;
  }
  PushCurrent();
  FPending = false;
  FParaFirst = FLines.size();
}

std::vector<TFormattedLine> RtfToFormattedLines(std::string_view bytes, const TCodePageDecoder& decode) {
  if (TRtfReader::IsRtf(bytes)) {
    TRtfFormatRunsListener listener(decode);
    TRtfReader reader;
    reader.Read(bytes, listener);
    return listener.TakeLines();
  }
  std::vector<TFormattedLine> lines;
  for (std::string_view text : SplitPlainLines(bytes)) {
    TFormattedLine line;
    line.Text = decode(text, 1252);
    if (!line.Text.empty()) line.Runs.push_back({0, line.Text.size(), TRunFormat{}});
    lines.push_back(std::move(line));
  }
  return lines;
}

namespace {

const std::string kArrow = " \u2192 ";
constexpr size_t kQuoteChars = 40;

/// Twips as points: "36 pt", "-18 pt", "0.5 pt".
std::string Points(long long twips) {
  const bool negative = twips < 0;
  const unsigned long long hundredths = static_cast<unsigned long long>(negative ? -twips : twips) * 5;
  std::string s = negative ? "-" : "";
  s += std::to_string(hundredths / 100);
  if (const unsigned long long frac = hundredths % 100; frac != 0) {
    s += '.';
    s += static_cast<char>('0' + frac / 10);
    if (frac % 10 != 0) s += static_cast<char>('0' + frac % 10);
  }
  return s + " pt";
}

std::string HalfPoints(int halfPoints) { return Points(static_cast<long long>(halfPoints) * 10); }

std::string Rgb(const std::optional<uint32_t>& c, const char* none) {
  if (!c) return none;
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%06X", static_cast<unsigned>(*c & 0xFFFFFF));
  return buf;
}

/// Text[Begin, End) in single quotes, cut after kQuoteChars characters.
std::string Quote(std::string_view text, size_t begin, size_t end) {
  end = std::min(end, text.size());
  begin = std::min(begin, end);
  std::string_view piece = text.substr(begin, end - begin);
  size_t chars = 0;
  size_t cut = piece.size();
  for (size_t i = 0; i < piece.size(); ++i) {
    if ((static_cast<unsigned char>(piece[i]) & 0xC0) == 0x80) continue;
    if (chars == kQuoteChars) {
      cut = i;
      break;
    }
    ++chars;
  }
  std::string q = "'";
  q.append(piece.substr(0, cut));
  if (cut < piece.size()) q += "\u2026";
  q += '\'';
  return q;
}

enum TAttr : uint8_t {
  Bold,
  Italic,
  Underline,
  Strike,
  Caps,
  VertAlign,
  Font,
  Size,
  Color,
  Background,
  AttrCount
};

bool Same(TAttr attr, const TRunFormat& a, const TRunFormat& b) {
  switch (attr) {
    case Bold:
      return a.Bold == b.Bold;
    case Italic:
      return a.Italic == b.Italic;
    case Underline:
      return a.Underline == b.Underline;
    case Strike:
      return a.Strike == b.Strike;
    case Caps:
      return a.Caps == b.Caps;
    case VertAlign:
      return a.VertAlign == b.VertAlign;
    case Font:
      return a.FontName == b.FontName;
    case Size:
      return a.SizeHalfPoints == b.SizeHalfPoints;
    case Color:
      return a.Color == b.Color;
    case Background:
      return a.Background == b.Background;
    default:
      return true;
  }
}

std::string OnOff(const char* name, bool now) { return std::string(name) + (now ? " added" : " removed"); }

/// "superscript added", "superscript removed", "subscript → superscript".
std::string Kind(const char* const names[3], int from, int to) {
  auto name = [&](int v) { return std::string(v >= 0 && v < 3 ? names[v] : "?"); };
  if (from == 0) return name(to) + " added";
  if (to == 0) return name(from) + " removed";
  return name(from) + kArrow + name(to);
}

std::string Describe(TAttr attr, const TRunFormat& a, const TRunFormat& b) {
  static const char* const kCaps[3] = {"", "capitals", "small capitals"};
  static const char* const kVert[3] = {"", "superscript", "subscript"};
  auto font = [](const std::string& n) { return n.empty() ? std::string("default") : n; };
  switch (attr) {
    case Bold:
      return OnOff("bold", b.Bold);
    case Italic:
      return OnOff("italic", b.Italic);
    case Underline:
      return OnOff("underline", b.Underline);
    case Strike:
      return OnOff("strike-out", b.Strike);
    case Caps:
      return Kind(kCaps, a.Caps, b.Caps);
    case VertAlign:
      return Kind(kVert, a.VertAlign, b.VertAlign);
    case Font:
      return "font " + font(a.FontName) + kArrow + font(b.FontName);
    case Size:
      return "size " + HalfPoints(a.SizeHalfPoints) + kArrow + HalfPoints(b.SizeHalfPoints);
    case Color:
      return "colour " + Rgb(a.Color, "automatic") + kArrow + Rgb(b.Color, "automatic");
    case Background:
      return "highlight " + Rgb(a.Background, "none") + kArrow + Rgb(b.Background, "none");
    default:
      return {};
  }
}

const char* AlignmentName(TRtfAlignment a) {
  switch (a) {
    case TRtfAlignment::Left:
      return "left";
    case TRtfAlignment::Center:
      return "centre";
    case TRtfAlignment::Right:
      return "right";
    case TRtfAlignment::Justify:
      return "justified";
  }
  return "?";
}

const char* NumberingName(TRtfNumbering n) {
  switch (n) {
    case TRtfNumbering::None:
      return "none";
    case TRtfNumbering::Bullet:
      return "bullets";
    case TRtfNumbering::Decimal:
      return "numbers";
  }
  return "?";
}

std::string TabsText(const std::vector<TRtfTabStop>& tabs) {
  if (tabs.empty()) return "none";
  constexpr size_t kMaxTabs = 6;
  std::string s;
  for (size_t i = 0; i < tabs.size() && i < kMaxTabs; ++i) {
    if (i > 0) s += ", ";
    s += Points(tabs[i].Position);
    switch (tabs[i].Kind) {
      case TRtfTabKind::Left:
        break;
      case TRtfTabKind::Center:
        s += " centre";
        break;
      case TRtfTabKind::Right:
        s += " right";
        break;
      case TRtfTabKind::Decimal:
        s += " decimal";
        break;
    }
  }
  if (tabs.size() > kMaxTabs) s += ", \u2026";
  return s;
}

void CompareParagraphs(const TRtfParaFormat& a, const TRtfParaFormat& b,
                       std::vector<TFormatChangeItem>& out) {
  auto add = [&](std::string text) { out.push_back({std::move(text), true, 0, 0}); };
  auto length = [&](const char* name, int from, int to) {
    if (from != to) add(std::string(name) + " " + Points(from) + kArrow + Points(to));
  };
  if (a.Alignment != b.Alignment)
    add(std::string("alignment ") + AlignmentName(a.Alignment) + kArrow + AlignmentName(b.Alignment));
  length("left indent", a.LeftIndent, b.LeftIndent);
  length("right indent", a.RightIndent, b.RightIndent);
  length("first-line indent", a.FirstIndent, b.FirstIndent);
  length("space before", a.SpaceBefore, b.SpaceBefore);
  length("space after", a.SpaceAfter, b.SpaceAfter);
  if (a.Numbering != b.Numbering)
    add(std::string("numbering ") + NumberingName(a.Numbering) + kArrow + NumberingName(b.Numbering));
  if (a.InTable != b.InTable) add(b.InTable ? "now in a table" : "no longer in a table");
  if (a.Tabs != b.Tabs) add("tab stops " + TabsText(a.Tabs) + kArrow + TabsText(b.Tabs));
}

/// The format at Pos of runs sorted by position, walking Cursor forward;
/// Next is where that format may end. Bytes no run covers have the default
/// format.
const TRunFormat& FormatAt(const std::vector<TFormatRun>& runs, size_t& cursor, size_t pos, size_t& next) {
  static const TRunFormat kDefault;
  while (cursor < runs.size() && runs[cursor].End <= pos) ++cursor;
  if (cursor < runs.size() && runs[cursor].Begin <= pos) {
    next = runs[cursor].End;
    return runs[cursor].Format;
  }
  next = cursor < runs.size() ? runs[cursor].Begin : std::numeric_limits<size_t>::max();
  return kDefault;
}

struct TPiece {
  size_t Begin;
  size_t End;
  TAttr Attr;
  const TRunFormat* From;
  const TRunFormat* To;
};

}  // namespace

TFormatChange CompareLineFormatting(const TFormattedLine& line1, const TFormattedLine& line2) {
  TFormatChange change;
  CompareParagraphs(line1.Para, line2.Para, change.Items);

  // Walk both run lists at once; each attribute keeps its change open while
  // the next stretch changes it the same way, so that neighbouring runs
  // merge into one quoted piece.
  const size_t length = std::min(line1.Text.size(), line2.Text.size());
  std::array<std::optional<TPiece>, AttrCount> open;
  std::vector<TPiece> pieces;
  size_t c1 = 0, c2 = 0;
  for (size_t pos = 0; pos < length;) {
    size_t n1 = 0, n2 = 0;
    const TRunFormat& f1 = FormatAt(line1.Runs, c1, pos, n1);
    const TRunFormat& f2 = FormatAt(line2.Runs, c2, pos, n2);
    const size_t end = std::min({n1, n2, length});
    for (uint8_t k = 0; k < AttrCount; ++k) {
      const TAttr attr = static_cast<TAttr>(k);
      std::optional<TPiece>& o = open[k];
      if (Same(attr, f1, f2)) {
        if (o) {
          pieces.push_back(*o);
          o.reset();
        }
      } else if (o && o->End == pos && Same(attr, *o->From, f1) && Same(attr, *o->To, f2)) {
        o->End = end;
      } else {
        if (o) pieces.push_back(*o);
        o = TPiece{pos, end, attr, &f1, &f2};
      }
    }
    pos = end;
  }
  for (std::optional<TPiece>& o : open)
    if (o) pieces.push_back(*o);
  std::stable_sort(pieces.begin(), pieces.end(), [](const TPiece& a, const TPiece& b) {
    return a.Begin != b.Begin ? a.Begin < b.Begin : a.Attr < b.Attr;
  });
  for (const TPiece& p : pieces) {
    change.Items.push_back(
        {Describe(p.Attr, *p.From, *p.To) + ": " + Quote(line1.Text, p.Begin, p.End), false, p.Begin, p.End});
  }
  change.Differs = !change.Items.empty();
  return change;
}

std::vector<TFormatChange> CompareFormatting(const std::vector<TFormattedLine>& lines1,
                                             const std::vector<TFormattedLine>& lines2) {
  const size_t n = std::min(lines1.size(), lines2.size());
  std::vector<TFormatChange> changes;
  changes.reserve(n);
  for (size_t i = 0; i < n; ++i) changes.push_back(CompareLineFormatting(lines1[i], lines2[i]));
  return changes;
}

std::optional<std::vector<TFormatChange>> CompareRtfFormatting(std::string_view rtf1, std::string_view rtf2,
                                                               const TCodePageDecoder& decode) {
  const std::vector<TFormattedLine> lines1 = RtfToFormattedLines(rtf1, decode);
  const std::vector<TFormattedLine> lines2 = RtfToFormattedLines(rtf2, decode);
  if (lines1.size() != lines2.size()) return std::nullopt;
  for (size_t i = 0; i < lines1.size(); ++i)
    if (lines1[i].Text != lines2[i].Text) return std::nullopt;
  return CompareFormatting(lines1, lines2);
}

std::string FormatChangeSummary(const TFormatChange& change, size_t maxItems) {
  std::string s;
  const size_t shown = std::min(maxItems, change.Items.size());
  for (size_t i = 0; i < shown; ++i) {
    if (i > 0) s += "; ";
    s += change.Items[i].Description;
  }
  if (shown < change.Items.size()) {
    if (!s.empty()) s += "; ";
    s += "and " + std::to_string(change.Items.size() - shown) + " more";
  }
  return s;
}
