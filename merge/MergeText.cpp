#include "merge/MergeText.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string Join(const std::vector<std::string>& lines, int start, int end) {
  std::string out;
  for (int i = start; i < end; ++i) out += lines[static_cast<size_t>(i)] + "\r\n";
  return out;
}

/// Text as an RTF paragraph of its own, its formatting kept inside a group.
std::string MarkerParagraph(const std::string& text) {
  std::string line = "{\\pard\\plain ";
  for (const char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '\\' || c == '{' || c == '}') {
      line += '\\';
      line += c;
    } else if (u < 32 || u >= 0x80) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\'%02x", u);
      line += hex;
    } else {
      line += c;
    }
  }
  return line + "\\par}";
}

/// Whether a line belongs to the RTF header (fonts, colours) or holds the
/// text's opening, where a paragraph cannot stand.
bool IsHeaderLine(const std::string& line) {
  return line.find("\\rtf") != std::string::npos || line.find("\\fonttbl") != std::string::npos ||
         line.find("\\colortbl") != std::string::npos || line.find("\\stylesheet") != std::string::npos;
}

/// The shown text of some lines of a topic's body, read as a group of their own.
std::vector<std::string> ShownText(const std::string& lines, const TCodePageDecoder& decode) {
  return RtfToPlainTextLines("{\\rtf1\\ansi " + lines + "}", decode);
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

std::vector<TMergeDecision> MergeTopicText(const std::vector<std::string>& base,
                                           const std::vector<std::string>& ours,
                                           const std::vector<std::string>& theirs,
                                           const TCodePageDecoder& decode) {
  std::vector<TMergeDecision> blocks;
  for (const TMergeChunk& chunk : MergeLines3(base, ours, theirs)) {
    if (chunk.Kind == TChunkKind::Stable) continue;
    TMergeDecision d;
    d.Level = TMergeLevel::TextBlock;
    d.Name = "Text";
    d.BaseStart = chunk.BaseStart, d.BaseEnd = chunk.BaseEnd;
    d.OursStart = chunk.OursStart, d.OursEnd = chunk.OursEnd;
    d.TheirsStart = chunk.TheirsStart, d.TheirsEnd = chunk.TheirsEnd;
    d.Values = {Join(base, chunk.BaseStart, chunk.BaseEnd), Join(ours, chunk.OursStart, chunk.OursEnd),
                Join(theirs, chunk.TheirsStart, chunk.TheirsEnd)};
    switch (chunk.Kind) {
      case TChunkKind::Ours:
        d.Action = TMergeAction::Ours;
        break;
      case TChunkKind::Theirs:
        d.Action = TMergeAction::Theirs;
        break;
      case TChunkKind::Both:
        d.Action = TMergeAction::Same;
        break;
      default: {
        d.Action = TMergeAction::Conflict;
        // Marks go between paragraphs of the body only: never before the
        // header ends nor after the text's closing brace, which the block
        // reaching the end of a side holds.
        d.Markable = chunk.BaseStart > 0 && chunk.OursStart > 0 && chunk.TheirsStart > 0 &&
                     chunk.BaseEnd < static_cast<int>(base.size()) &&
                     chunk.OursEnd < static_cast<int>(ours.size()) &&
                     chunk.TheirsEnd < static_cast<int>(theirs.size());
        const bool oneLineEach = chunk.BaseEnd - chunk.BaseStart == 1 &&
                                 chunk.OursEnd - chunk.OursStart == 1 &&
                                 chunk.TheirsEnd - chunk.TheirsStart == 1;
        std::string merged;
        if (oneLineEach && MergeWords3(base[static_cast<size_t>(chunk.BaseStart)],
                                       ours[static_cast<size_t>(chunk.OursStart)],
                                       theirs[static_cast<size_t>(chunk.TheirsStart)], merged)) {
          d.Action = TMergeAction::Merged;
          d.MergedValue = merged + "\r\n";
        } else if (decode) {
          const std::vector<std::string> shown[3] = {
              ShownText(d.Values[0], decode), ShownText(d.Values[1], decode), ShownText(d.Values[2], decode)};
          if (shown[1] == shown[0] && shown[2] != shown[0])
            d.Name = "Text: formatting by ours, wording by theirs";
          else if (shown[2] == shown[0] && shown[1] != shown[0])
            d.Name = "Text: wording by ours, formatting by theirs";
        }
        break;
      }
    }
    blocks.push_back(std::move(d));
  }
  return blocks;
}

std::vector<std::string> ChosenTextLines(const TMergeDecision& block, const TMergeLabels& labels) {
  if (block.ChosenValue) return SplitValueLines(*block.ChosenValue);
  if (block.Action != TMergeAction::Conflict && block.Resolution != TMergeResolution::Unresolved &&
      block.Resolution != TMergeResolution::Both)
    return SplitValueLines(block.Values[block.Resolution == TMergeResolution::Base   ? 0
                                        : block.Resolution == TMergeResolution::Ours ? 1
                                                                                     : 2]);
  switch (block.Action) {
    case TMergeAction::Theirs:
      return SplitValueLines(block.Values[2]);
    case TMergeAction::Merged:
      return SplitValueLines(block.MergedValue);
    case TMergeAction::Conflict:
      break;
    default:
      return SplitValueLines(block.Values[1]);
  }
  switch (block.Resolution) {
    case TMergeResolution::Theirs:
      return SplitValueLines(block.Values[2]);
    case TMergeResolution::Base:
      return SplitValueLines(block.Values[0]);
    case TMergeResolution::Ours:
      return SplitValueLines(block.Values[1]);
    default:
      break;
  }
  const std::vector<std::string> sides[3] = {
      SplitValueLines(block.Values[0]), SplitValueLines(block.Values[1]), SplitValueLines(block.Values[2])};
  bool markable = block.Markable;
  for (const std::vector<std::string>& lines : sides)
    for (const std::string& line : lines)
      if (IsHeaderLine(line)) markable = false;
  if (!markable) return sides[1];
  std::vector<std::string> lines;
  lines.push_back(MarkerParagraph("<<<<<<< " + labels.Ours));
  lines.insert(lines.end(), sides[1].begin(), sides[1].end());
  lines.push_back(MarkerParagraph("||||||| " + labels.Base));
  lines.insert(lines.end(), sides[0].begin(), sides[0].end());
  lines.push_back(MarkerParagraph("======="));
  lines.insert(lines.end(), sides[2].begin(), sides[2].end());
  lines.push_back(MarkerParagraph(">>>>>>> " + labels.Theirs));
  return lines;
}

std::vector<std::string> BuildMergedText(const std::vector<std::string>& base,
                                         const std::vector<std::string>& ours,
                                         const std::vector<std::string>& theirs,
                                         const std::vector<const TMergeDecision*>& blocks,
                                         const TMergeLabels& labels) {
  // The blocks carry their own lines; base and theirs are what a splice of
  // formatted lines would read from.
  (void)base;
  (void)theirs;
  std::vector<std::string> text;
  int at = 0;
  for (const TMergeDecision* block : blocks) {
    for (; at < block->OursStart && at < static_cast<int>(ours.size()); ++at)
      text.push_back(ours[static_cast<size_t>(at)]);
    for (std::string& line : ChosenTextLines(*block, labels)) text.push_back(std::move(line));
    at = std::max(at, block->OursEnd);
  }
  for (; at < static_cast<int>(ours.size()); ++at) text.push_back(ours[static_cast<size_t>(at)]);
  return text;
}
