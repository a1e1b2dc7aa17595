// Line splitting and normalisation of the line difference engine.
//
// Each candidate test of the search compares normalised lines. Instead of
// normalising at every test, each line is normalised once per run into a
// key; a test then compares keys. The result is the same as normalising at
// every test, because normalisation depends only on the line and the
// options, which do not change during a run.
#include <algorithm>
#include <cstring>
#include <limits>

#include "diff/dvDiffEngine.h"
#include "diff/dvDiffEngineSide.h"

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

}  // namespace

namespace dv_diff_detail {

/// Where the lines of Text lie: a line ends at CR LF, a lone CR or a lone
/// LF; a NUL byte ends the text; a final line break adds no empty line.
void FindLines(std::string_view text, std::vector<LineSpan>& spans) {
  spans.clear();
  const char* const begin = text.data();
  const char* const nul = static_cast<const char*>(std::memchr(begin, '\0', text.size()));
  const char* const end = nul != nullptr ? nul : begin + text.size();
  // The next CR and the next LF, each looked for again only once passed,
  // so that every byte is scanned about twice in all.
  auto next = [end](const char* from, char c) {
    const void* found = std::memchr(from, c, static_cast<size_t>(end - from));
    return found != nullptr ? static_cast<const char*>(found) : end;
  };
  const char* cr = next(begin, '\r');
  const char* lf = next(begin, '\n');
  const char* pos = begin;
  while (pos < end) {
    if (cr < pos) cr = next(pos, '\r');
    if (lf < pos) lf = next(pos, '\n');
    const char* lineEnd = std::min(cr, lf);
    spans.push_back(LineSpan{static_cast<size_t>(pos - begin), static_cast<size_t>(lineEnd - pos)});
    pos = lineEnd;
    if (pos < end && *pos == '\r') ++pos;
    if (pos < end && *pos == '\n') ++pos;
  }
}

// From the first and last eight bytes and the length.
uint64_t Fingerprint(const char* bytes, size_t length) {
  uint64_t head = 0;
  uint64_t tail = 0;
  if (length >= 8) {
    std::memcpy(&head, bytes, 8);
    std::memcpy(&tail, bytes + length - 8, 8);
  } else if (length > 0) {
    std::memcpy(&head, bytes, length);
  }
  return head ^ (tail * 0x9E3779B97F4A7C15ull) ^ length;
}

}  // namespace dv_diff_detail

using dv_diff_detail::LineSpan;

std::vector<std::string> SplitDiffLines(std::string_view text) {
  std::vector<LineSpan> spans;
  dv_diff_detail::FindLines(text, spans);
  std::vector<std::string> lines;
  for (const LineSpan& span : spans) lines.emplace_back(text.substr(span.offset, span.length));
  return lines;
}

void TdvCustomDiffEngine::Side::Load(std::string_view newText) {
  text.assign(newText);  // keeps the buffer of the previous run
  dv_diff_detail::FindLines(text, lines);
  next = 0;
  // Row numbers, skips and counts are 32-bit; leave room for a search
  // reaching MatchDepth lines past the end.
  if (lines.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max() / 2)) {
    text.clear();
    lines.clear();
    throw EInvalidOperation("Text has too many lines to compare");
  }
}

void TdvCustomDiffEngine::Side::BuildKeys(TdvDiffOptions options, const TdvCharSet& ignoreChars) {
  const bool deleteChars = options.Contains(fdoIgnoreCharacters) && ignoreChars.any();
  const bool stripTrailing = options.Contains(fdoIgnoreTrailingWhiteSpace);
  const bool stripLeading = options.Contains(fdoIgnoreLeadingWhiteSpace);
  const bool foldCase = !options.Contains(fdoCaseSensitive);
  // Stripping alone only narrows a line: then the keys point into the text
  // itself and nothing is copied.
  const bool copy = deleteChars || foldCase;
  normalised.clear();
  if (copy) normalised.reserve(text.size());
  keys.clear();
  keys.reserve(lines.size());
  for (const LineSpan& span : lines) {
    size_t first = span.offset;
    size_t last = span.offset + span.length;
    if (copy) {
      const std::string_view line = std::string_view(text).substr(span.offset, span.length);
      first = normalised.size();
      if (deleteChars) {
        for (char c : line)
          if (!ignoreChars.test(static_cast<unsigned char>(c))) normalised.push_back(c);
      } else {
        normalised.append(line);
      }
      last = normalised.size();
    }
    char* bytes = copy ? normalised.data() : text.data();
    if (stripTrailing)
      while (last > first && IsBlankOrControl(bytes[last - 1])) --last;
    if (stripLeading)
      while (first < last && IsBlankOrControl(bytes[first])) ++first;
    if (foldCase)
      for (size_t i = first; i < last; ++i)
        if (bytes[i] >= 'A' && bytes[i] <= 'Z') bytes[i] = static_cast<char>(bytes[i] + 32);
    keys.push_back(Key{dv_diff_detail::Fingerprint(bytes + first, last - first), first, last - first});
  }
  base = copy ? normalised.data() : text.data();
  emptyKey = Key{dv_diff_detail::Fingerprint(nullptr, 0), 0, 0};
}
