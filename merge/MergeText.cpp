#include "merge/MergeText.h"

#include <algorithm>
#include <cstdio>

#include "richtext/RtfLineMap.h"
#include "richtext/RtfSplice.h"
#include "toolkit/Unicode.h"

namespace {

constexpr const char* kHeaderName = "Text: header";
constexpr const char* kTailName = "Text: tail";

/// Bytes as Latin-1 into UTF-8: what the lines read as when no decoder is given.
std::string Latin1ToUtf8(std::string_view bytes, int) { return unicode::Latin1ToUtf8(bytes); }

const TCodePageDecoder& Decoder(const TCodePageDecoder& decode) {
  static const TCodePageDecoder fallback = &Latin1ToUtf8;
  return decode ? decode : fallback;
}

/// A text and where its shown lines stand in it.
struct TSide {
  const std::string& Rtf;
  TRtfLineMap Map;
  int Count() const { return static_cast<int>(Map.Sources.size()); }
  /// The RTF of shown lines [Start, End).
  std::string Bytes(int start, int end) const {
    if (start >= end) return {};
    const size_t from = Map.Sources[static_cast<size_t>(start)].Begin;
    const size_t to = Map.Sources[static_cast<size_t>(end - 1)].End;
    return Rtf.substr(from, to - from);
  }
  std::vector<std::string> Shown(int start, int end) const {
    return {Map.Lines.begin() + start, Map.Lines.begin() + end};
  }
  size_t BodyBegin() const { return Map.Sources.empty() ? Map.BodyBegin : Map.Sources.front().Begin; }
  size_t TailBegin() const { return Map.Sources.empty() ? Map.TailBegin : Map.Sources.back().End; }
  std::string Header() const { return Rtf.substr(0, std::min(BodyBegin(), Rtf.size())); }
  std::string Tail() const { return Rtf.substr(std::min(TailBegin(), Rtf.size())); }
};

TMergeAction OneSided(const std::array<std::string, 3>& v) {
  if (v[1] == v[0] && v[2] == v[0]) return TMergeAction::Kept;
  if (v[2] == v[0]) return TMergeAction::Ours;
  if (v[1] == v[0]) return TMergeAction::Theirs;
  if (v[1] == v[2]) return TMergeAction::Same;
  return TMergeAction::Conflict;
}

/// A block of shown lines that both sides changed differently: merged word
/// by word when it is one line on each side and the sides changed
/// different words of it, both of the shown text and of its RTF, and the
/// merged RTF shows the merged words; otherwise a conflict.
void MergeBothChanged(TMergeDecision& d, const TSide (&s)[3], const TCodePageDecoder& decode) {
  const std::vector<std::string> shown[3] = {s[0].Shown(d.BaseStart, d.BaseEnd),
                                             s[1].Shown(d.OursStart, d.OursEnd),
                                             s[2].Shown(d.TheirsStart, d.TheirsEnd)};
  const bool oneLineEach = shown[0].size() == 1 && shown[1].size() == 1 && shown[2].size() == 1;
  std::string rtf, plain;
  if (oneLineEach && MergeWords3(d.Values[0], d.Values[1], d.Values[2], rtf) &&
      MergeWords3(shown[0][0], shown[1][0], shown[2][0], plain)) {
    const TRtfLineSource& line = s[1].Map.Sources[static_cast<size_t>(d.OursStart)];
    std::string candidate = s[1].Rtf;
    candidate.replace(line.Begin, line.End - line.Begin, rtf);
    std::vector<std::string> expected = s[1].Map.Lines;
    expected[static_cast<size_t>(d.OursStart)] = plain;
    if (MapRtfLines(candidate, decode).Lines == expected) {
      d.Action = TMergeAction::Merged;
      d.MergedValue = std::move(rtf);
      return;
    }
  }
  d.Action = TMergeAction::Conflict;
  d.Markable = s[0].Map.IsRtf && s[1].Map.IsRtf && s[2].Map.IsRtf;
  const bool oursKeptWords = shown[1] == shown[0], theirsKeptWords = shown[2] == shown[0];
  if (oursKeptWords && theirsKeptWords)
    d.Name = "Text: formatting by both";
  else if (oursKeptWords)
    d.Name = "Text: formatting by ours, wording by theirs";
  else if (theirsKeptWords)
    d.Name = "Text: wording by ours, formatting by theirs";
}

/// The side a block takes: 0, 1, 2; -1 for its merged lines, -2 for marks.
int Chosen(const TMergeDecision& d) {
  // Lines a person chose by hand replace ours' lines of the block as they are.
  if (d.ChosenValue) return -1;
  switch (d.Resolution) {
    case TMergeResolution::Base:
      return 0;
    case TMergeResolution::Ours:
      return 1;
    case TMergeResolution::Theirs:
      return 2;
    default:
      break;
  }
  switch (d.Action) {
    case TMergeAction::Theirs:
      return 2;
    case TMergeAction::Merged:
      return -1;
    case TMergeAction::Conflict:
      return d.Markable ? -2 : 1;
    default:
      return 1;
  }
}

bool IsEdge(const TMergeDecision& d) { return d.Name == kHeaderName || d.Name == kTailName; }

/// A marker as the one line of a text of its own. Its header ends in a
/// table, so that the line moved in is its text alone, on one file line.
std::string Marker(const std::string& text) {
  std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl}\r\n";
  for (const char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '\\' || c == '{' || c == '}') {
      rtf += '\\';
      rtf += c;
    } else if (u < 32 || u >= 0x80) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\'%02x", u);
      rtf += hex;
    } else {
      rtf += c;
    }
  }
  return rtf + "\\par\r\n}";
}

}  // namespace

std::vector<std::string> SplitValueLines(const std::string& value) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < value.size()) {
    size_t end = value.find("\r\n", start);
    if (end == std::string::npos) end = value.size();
    lines.push_back(value.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::vector<TMergeDecision> MergeTopicText(const std::string& base, const std::string& ours,
                                           const std::string& theirs, const TCodePageDecoder& decode) {
  const TCodePageDecoder& dec = Decoder(decode);
  const TSide s[3] = {
      {base, MapRtfLines(base, dec)}, {ours, MapRtfLines(ours, dec)}, {theirs, MapRtfLines(theirs, dec)}};
  std::vector<TMergeDecision> blocks;
  const auto block = [&](int bs, int be, int os, int oe, int ts, int te) {
    TMergeDecision d;
    d.Level = TMergeLevel::TextBlock;
    d.Name = "Text";
    d.BaseStart = bs, d.BaseEnd = be, d.OursStart = os, d.OursEnd = oe, d.TheirsStart = ts, d.TheirsEnd = te;
    d.Values = {s[0].Bytes(bs, be), s[1].Bytes(os, oe), s[2].Bytes(ts, te)};
    d.Action = OneSided(d.Values);
    if (d.Action == TMergeAction::Conflict) MergeBothChanged(d, s, dec);
    if (d.Action != TMergeAction::Kept) blocks.push_back(std::move(d));
  };
  // What stands around the lines: the header with its tables, the tail.
  const auto edge = [&](const char* name, const std::array<std::string, 3>& values, int b, int o, int t) {
    TMergeDecision d;
    d.Level = TMergeLevel::TextBlock;
    d.Name = name;
    d.BaseStart = d.BaseEnd = b, d.OursStart = d.OursEnd = o, d.TheirsStart = d.TheirsEnd = t;
    d.Values = values;
    d.Action = OneSided(values);
    if (d.Action != TMergeAction::Kept) blocks.push_back(std::move(d));
  };
  edge(kHeaderName, {s[0].Header(), s[1].Header(), s[2].Header()}, 0, 0, 0);
  for (const TMergeChunk& chunk : MergeLines3(s[0].Map.Lines, s[1].Map.Lines, s[2].Map.Lines)) {
    if (chunk.Kind != TChunkKind::Stable) {
      block(chunk.BaseStart, chunk.BaseEnd, chunk.OursStart, chunk.OursEnd, chunk.TheirsStart,
            chunk.TheirsEnd);
      continue;
    }
    // The same shown lines: a line whose RTF changed changed its formatting.
    for (int i = 0; i < chunk.BaseEnd - chunk.BaseStart; ++i)
      block(chunk.BaseStart + i, chunk.BaseStart + i + 1, chunk.OursStart + i, chunk.OursStart + i + 1,
            chunk.TheirsStart + i, chunk.TheirsStart + i + 1);
  }
  edge(kTailName, {s[0].Tail(), s[1].Tail(), s[2].Tail()}, s[0].Count(), s[1].Count(), s[2].Count());
  return blocks;
}

std::string BuildMergedText(const std::string& base, const std::string& ours, const std::string& theirs,
                            const std::vector<const TMergeDecision*>& blocks, const TMergeLabels& labels,
                            const TCodePageDecoder& decode) {
  // Theirs wherever ours kept the base: theirs as it stands, not rebuilt.
  if (ours == base &&
      std::all_of(blocks.begin(), blocks.end(), [](const TMergeDecision* d) { return Chosen(*d) == 2; }))
    return theirs;
  const TCodePageDecoder& dec = Decoder(decode);
  const std::string* const sides[3] = {&base, &ours, &theirs};
  std::string text = ours;
  // Header and tail first: the splices after them add what their lines
  // need to the tables in force.
  for (const TMergeDecision* d : blocks) {
    const int side = Chosen(*d);
    if (!IsEdge(*d) || side < 0 || side == 1) continue;
    const TSide from{*sides[side], MapRtfLines(*sides[side], dec)};
    const TSide into{text, MapRtfLines(text, dec)};
    text = d->Name == kHeaderName ? from.Header() + text.substr(std::min(into.BodyBegin(), text.size()))
                                  : text.substr(0, std::min(into.TailBegin(), text.size())) + from.Tail();
  }
  // From the last block up, so that the lines of the blocks before stay where they were.
  for (auto it = blocks.rbegin(); it != blocks.rend(); ++it) {
    const TMergeDecision& d = **it;
    if (IsEdge(d)) continue;
    const int side = Chosen(d);
    if (side == 0 || side == 2) {
      const int start = side == 0 ? d.BaseStart : d.TheirsStart, end = side == 0 ? d.BaseEnd : d.TheirsEnd;
      text = SpliceRtfLines(text, d.OursStart, d.OursEnd, *sides[side], start, end, dec);
    } else if (side == -1) {
      const TRtfLineMap map = MapRtfLines(text, dec);
      const std::string& value = d.ChosenValue ? *d.ChosenValue : d.MergedValue;
      const int count = static_cast<int>(map.Sources.size());
      if (d.OursStart >= 0 && d.OursStart < d.OursEnd && d.OursEnd <= count) {
        const size_t from = map.Sources[static_cast<size_t>(d.OursStart)].Begin;
        text.replace(from, map.Sources[static_cast<size_t>(d.OursEnd - 1)].End - from, value);
      } else if (d.OursStart == d.OursEnd && d.OursStart >= 0 && d.OursStart <= count && !value.empty()) {
        // A block ours has no lines of: the chosen lines go where it stands.
        const size_t at = d.OursStart < count ? map.Sources[static_cast<size_t>(d.OursStart)].Begin
                                              : std::min(map.TailBegin, text.size());
        text.insert(at, value);
      }
    } else if (side == -2) {
      // Inserted at the block's end last one first, each going before
      // the one inserted before it.
      const auto insert = [&](int at, const std::string& source, int start, int end) {
        text = SpliceRtfLines(text, at, at, source, start, end, dec);
      };
      insert(d.OursEnd, Marker(">>>>>>> " + labels.Theirs), 0, 1);
      insert(d.OursEnd, theirs, d.TheirsStart, d.TheirsEnd);
      insert(d.OursEnd, Marker("======="), 0, 1);
      insert(d.OursEnd, base, d.BaseStart, d.BaseEnd);
      insert(d.OursEnd, Marker("||||||| " + labels.Base), 0, 1);
      insert(d.OursStart, Marker("<<<<<<< " + labels.Ours), 0, 1);
    }
  }
  return text;
}
