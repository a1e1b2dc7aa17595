#include "merge/MergeLines.h"

#include <algorithm>
#include <unordered_map>

namespace {

/// Beyond this many differing lines the middle of a pair is taken as
/// changed as a whole: still a correct merge, only coarser, and never slow.
constexpr int kMaxEditDistance = 1000;
/// Lines of more words than this merge only as whole lines.
constexpr size_t kMaxWordsPerLine = 20000;

/// For every line of A, the index of the line of B it is paired with in a
/// longest common subsequence, or -1 (Myers' greedy search between the
/// common head and tail).
std::vector<int> MatchLines(const std::vector<int>& a, const std::vector<int>& b) {
  const int n = static_cast<int>(a.size()), m = static_cast<int>(b.size());
  std::vector<int> match(static_cast<size_t>(n), -1);
  int head = 0;
  while (head < n && head < m && a[head] == b[head]) {
    match[head] = head;
    ++head;
  }
  int tail = 0;
  while (tail < n - head && tail < m - head && a[n - 1 - tail] == b[m - 1 - tail]) {
    match[n - 1 - tail] = m - 1 - tail;
    ++tail;
  }
  const int an = n - head - tail, bm = m - head - tail;
  if (an == 0 || bm == 0) return match;
  const int maxD = std::min(an + bm, kMaxEditDistance);
  const int offset = maxD + 1;
  std::vector<int> v(static_cast<size_t>(2 * maxD + 3), 0);
  std::vector<std::vector<int>> trace;
  int found = -1;
  for (int d = 0; d <= maxD && found < 0; ++d) {
    for (int k = -d; k <= d; k += 2) {
      int x = (k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1])) ? v[offset + k + 1]
                                                                             : v[offset + k - 1] + 1;
      int y = x - k;
      while (x < an && y < bm && a[head + x] == b[head + y]) ++x, ++y;
      v[offset + k] = x;
      if (x >= an && y >= bm) {
        found = d;
        break;
      }
    }
    // Only the diagonals this round reached: the trace stays quadratic in
    // the distance, not in the length.
    trace.emplace_back(v.begin() + (offset - d - 1), v.begin() + (offset + d + 2));
  }
  if (found < 0) return match;  // too different: the middle stays unpaired
  int x = an, y = bm;
  for (int d = found; d > 0; --d) {
    // Round d-1's diagonals -d .. d, diagonal k at k + d.
    const std::vector<int>& prev = trace[static_cast<size_t>(d - 1)];
    const int k = x - y;
    const bool down = k == -d || (k != d && prev[k - 1 + d] < prev[k + 1 + d]);
    const int prevK = down ? k + 1 : k - 1;
    const int prevX = prev[prevK + d], prevY = prevX - prevK;
    while (x > prevX && y > prevY) {
      --x, --y;
      match[head + x] = head + y;
    }
    x = prevX, y = prevY;
  }
  while (x > 0 && y > 0) {
    --x, --y;
    match[head + x] = head + y;
  }
  return match;
}

bool SameRange(const std::vector<int>& a, int aStart, int aEnd, const std::vector<int>& b, int bStart,
               int bEnd) {
  return aEnd - aStart == bEnd - bStart &&
         std::equal(a.begin() + aStart, a.begin() + aEnd, b.begin() + bStart);
}

bool IsWordByte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c >= 0x80;
}

}  // namespace

std::vector<TMergeChunk> MergeLines3(const std::vector<std::string>& base,
                                     const std::vector<std::string>& ours,
                                     const std::vector<std::string>& theirs) {
  // Lines as numbers, so that the searches compare integers.
  std::unordered_map<std::string_view, int> ids;
  const auto intern = [&ids](const std::vector<std::string>& lines) {
    std::vector<int> out;
    out.reserve(lines.size());
    for (const std::string& line : lines)
      out.push_back(ids.emplace(line, static_cast<int>(ids.size())).first->second);
    return out;
  };
  const std::vector<int> b = intern(base), o = intern(ours), t = intern(theirs);
  const std::vector<int> toOurs = MatchLines(b, o), toTheirs = MatchLines(b, t);

  std::vector<TMergeChunk> chunks;
  const int nb = static_cast<int>(b.size()), no = static_cast<int>(o.size()), nt = static_cast<int>(t.size());
  int i = 0, j = 0, k = 0;
  while (i < nb || j < no || k < nt) {
    if (i < nb && toOurs[i] == j && toTheirs[i] == k) {
      if (!chunks.empty() && chunks.back().Kind == TChunkKind::Stable) {
        ++chunks.back().BaseEnd, ++chunks.back().OursEnd, ++chunks.back().TheirsEnd;
      } else {
        chunks.push_back({TChunkKind::Stable, i, i + 1, j, j + 1, k, k + 1});
      }
      ++i, ++j, ++k;
      continue;
    }
    // The next base line both sides kept ends the chunk.
    int next = i;
    while (next < nb && (toOurs[next] < 0 || toTheirs[next] < 0)) ++next;
    TMergeChunk chunk{TChunkKind::Conflict,           i, next, j, next < nb ? toOurs[next] : no, k,
                      next < nb ? toTheirs[next] : nt};
    const bool oursSame = SameRange(b, chunk.BaseStart, chunk.BaseEnd, o, chunk.OursStart, chunk.OursEnd);
    const bool theirsSame =
        SameRange(b, chunk.BaseStart, chunk.BaseEnd, t, chunk.TheirsStart, chunk.TheirsEnd);
    if (oursSame && theirsSame)
      chunk.Kind = TChunkKind::Stable;
    else if (theirsSame)
      chunk.Kind = TChunkKind::Ours;
    else if (oursSame)
      chunk.Kind = TChunkKind::Theirs;
    else if (SameRange(o, chunk.OursStart, chunk.OursEnd, t, chunk.TheirsStart, chunk.TheirsEnd))
      chunk.Kind = TChunkKind::Both;
    chunks.push_back(chunk);
    i = chunk.BaseEnd, j = chunk.OursEnd, k = chunk.TheirsEnd;
  }
  return chunks;
}

std::vector<std::string> SplitWords(std::string_view line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    size_t end = i + 1;
    if (IsWordByte(c)) {
      while (end < line.size() && IsWordByte(static_cast<unsigned char>(line[end]))) ++end;
    } else if (c <= 32) {
      while (end < line.size() && static_cast<unsigned char>(line[end]) <= 32) ++end;
    }
    words.emplace_back(line.substr(i, end - i));
    i = end;
  }
  return words;
}

bool MergeWords3(std::string_view base, std::string_view ours, std::string_view theirs, std::string& merged) {
  const std::vector<std::string> b = SplitWords(base), o = SplitWords(ours), t = SplitWords(theirs);
  merged.clear();
  if (b.size() > kMaxWordsPerLine || o.size() > kMaxWordsPerLine || t.size() > kMaxWordsPerLine) return false;
  for (const TMergeChunk& chunk : MergeLines3(b, o, t)) {
    if (chunk.Kind == TChunkKind::Conflict) return false;
    const bool fromTheirs = chunk.Kind == TChunkKind::Theirs;
    const std::vector<std::string>& side = fromTheirs ? t : o;
    const int start = fromTheirs ? chunk.TheirsStart : chunk.OursStart;
    const int end = fromTheirs ? chunk.TheirsEnd : chunk.OursEnd;
    for (int w = start; w < end; ++w) merged += side[static_cast<size_t>(w)];
  }
  return true;
}
