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

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "diff/dvDiffEngine.h"
#include "diff/dvDiffEngineSide.h"
#include "toolkit/Unicode.h"

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

}  // namespace

namespace dv_diff_detail {

namespace {

/// The first CR or LF from P on, or End. Lines are short, so a per-line
/// library search costs more in calls than in bytes: look at 16 bytes at
/// a time where the processor allows.
const char* NextBreak(const char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  for (; end - p >= 16; p += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int hits = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
    if (hits != 0) return p + __builtin_ctz(static_cast<unsigned>(hits));
  }
#endif
  while (p < end && *p != '\r' && *p != '\n') ++p;
  return p;
}

}  // namespace

/// Where the lines of Text lie: a line ends at CR LF, a lone CR or a lone
/// LF; a NUL byte ends the text; a final line break adds no empty line.
void FindLines(std::string_view text, std::vector<LineSpan>& spans) {
  spans.clear();
  const char* const begin = text.data();
  const char* const nul = static_cast<const char*>(std::memchr(begin, '\0', text.size()));
  const char* const end = nul != nullptr ? nul : begin + text.size();
  const char* pos = begin;
  while (pos < end) {
    const char* lineEnd = NextBreak(pos, end);
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
      if (!unicode::IsAscii(line)) {
        // UTF-8: whole characters are deleted and folded.
        unicode::AppendKey(line, deleteChars ? &ignoreChars : nullptr, foldCase, normalised);
      } else if (deleteChars) {
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
    if ((stripTrailing || stripLeading) && last > first &&
        (static_cast<unsigned char>(bytes[last - 1]) >= 0x80 ||
         static_cast<unsigned char>(bytes[first]) >= 0x80))
      unicode::StripBlanks(bytes, first, last, stripLeading, stripTrailing);
    if (foldCase)
      for (size_t i = first; i < last; ++i)
        if (bytes[i] >= 'A' && bytes[i] <= 'Z') bytes[i] = static_cast<char>(bytes[i] + 32);
    keys.push_back(Key{dv_diff_detail::Fingerprint(bytes + first, last - first), first, last - first});
  }
  base = copy ? normalised.data() : text.data();
  emptyKey = Key{dv_diff_detail::Fingerprint(nullptr, 0), 0, 0};
}
