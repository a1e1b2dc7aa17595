// The resynchronisation search of the line difference engine.
//
// Candidates (x, y), 0 <= x <= y, are visited in growing squares: (0,0),
// (0,1), (1,1), (0,2), (1,2), (2,2), ... Test A skips x lines of text 1 and
// y of text 2, test B (only when x != y) y lines of text 1 and x of text 2;
// the first test that holds wins. Once both skips pass the ends only empty
// lines are compared, so the search always ends.
//
// Short searches try every candidate. A long one (a block of many differing
// lines costs about the square of its length in candidates) goes on with an
// index: test A at (x, y) can only hold when the run of Depth + 1 lines at
// x in text 1 is in the class of the run at y in text 2, so for each y only
// those x are tried, in the same order; likewise for test B. The outcome is
// the same candidate, and nearly every candidate tried is the one found.
#include <algorithm>
#include <limits>
#include <string_view>
#include <unordered_map>

#include "diff/dvDiffEngine.h"
#include "diff/dvDiffEngineSide.h"

namespace {

/// Odd multiplier of the polynomial fingerprint of a run of line classes.
constexpr uint64_t kRunBase = 0x9E3779B97F4A7C15ull;

}  // namespace

void TdvCustomDiffEngine::LineIndex::Build(const Side& side1, const Side& side2) {
  std::unordered_map<std::string_view, int32_t> classes;
  classes.reserve(side1.keys.size() + side2.keys.size() + 1);
  classes.emplace(std::string_view(), 0);
  const Side* sides[2] = {&side1, &side2};
  for (int s = 0; s < 2; ++s) {
    const Side& side = *sides[s];
    lineClass[s].clear();
    lineClass[s].reserve(side.keys.size());
    for (const Side::Key& key : side.keys) {
      const std::string_view bytes(side.Bytes(key), key.length);
      lineClass[s].push_back(classes.try_emplace(bytes, static_cast<int32_t>(classes.size())).first->second);
    }
  }
  runs[0].depth = -1;
  runs[1].depth = -1;
}

const TdvCustomDiffEngine::LineIndex::Runs& TdvCustomDiffEngine::LineIndex::RunsOf(int depth) {
  for (const Runs& cached : runs)
    if (cached.depth == depth) return cached;
  Runs& r = runs[runs[0].depth == -1 ? 0 : 1];
  r.depth = depth;

  // Fingerprint of each run: sum of (class + 1) * base^(depth - k), rolled
  // along the text; equal fingerprints give one run class. A shared class
  // between unequal runs would only cost a test that fails.
  uint64_t power = 1;  // base^depth
  for (int k = 0; k < depth; ++k) power *= kRunBase;
  uint64_t emptyFingerprint = 0;
  for (int k = 0; k <= depth; ++k) emptyFingerprint = emptyFingerprint * kRunBase + 1;
  std::unordered_map<uint64_t, int32_t> classes;
  classes.reserve(lineClass[0].size() + lineClass[1].size() + 1);
  r.emptyRunClass = classes.emplace(emptyFingerprint, 0).first->second;
  for (int s = 0; s < 2; ++s) {
    const std::vector<int32_t>& lines = lineClass[s];
    const size_t n = lines.size();
    auto value = [&](size_t i) { return static_cast<uint64_t>(i < n ? lines[i] : 0) + 1; };
    uint64_t fingerprint = 0;
    for (size_t k = 0; k <= static_cast<size_t>(depth); ++k) fingerprint = fingerprint * kRunBase + value(k);
    r.runClass[s].assign(n, 0);
    for (size_t i = 0; i < n; ++i) {
      r.runClass[s][i] = classes.try_emplace(fingerprint, static_cast<int32_t>(classes.size())).first->second;
      fingerprint = (fingerprint - value(i) * power) * kRunBase + value(i + static_cast<size_t>(depth) + 1);
    }
  }
  // Counting sort of each side's lines by run class keeps them ascending within a class.
  const size_t classCount = classes.size();
  for (int s = 0; s < 2; ++s) {
    std::vector<int32_t>& start = r.groupStart[s];
    start.assign(classCount + 1, 0);
    for (int32_t id : r.runClass[s]) ++start[static_cast<size_t>(id) + 1];
    for (size_t c = 0; c < classCount; ++c) start[c + 1] += start[c];
    std::vector<int32_t> fill(start.begin(), start.end() - 1);
    r.positions[s].assign(r.runClass[s].size(), 0);
    for (size_t line = 0; line < r.runClass[s].size(); ++line)
      r.positions[s][static_cast<size_t>(fill[static_cast<size_t>(r.runClass[s][line])]++)] =
          static_cast<int32_t>(line);
  }
  return r;
}

std::pair<const int32_t*, const int32_t*> TdvCustomDiffEngine::LineIndex::Runs::Occurrences(int side,
                                                                                            int32_t id,
                                                                                            size_t from,
                                                                                            size_t to) const {
  const int32_t* groupBegin = positions[side].data() + groupStart[side][static_cast<size_t>(id)];
  const int32_t* groupEnd = positions[side].data() + groupStart[side][static_cast<size_t>(id) + 1];
  const int32_t* first = std::lower_bound(groupBegin, groupEnd, from,
                                          [](int32_t p, size_t v) { return static_cast<size_t>(p) < v; });
  const int32_t* last =
      std::upper_bound(first, groupEnd, to, [](size_t v, int32_t p) { return v < static_cast<size_t>(p); });
  return {first, last};
}

void TdvCustomDiffEngine::FindResync(int depth, int& skip1, int& skip2) {
  for (int y = 0;; ++y) {
    if (y >= FIndexedSearchFrom) return FindResyncIndexed(y, depth, skip1, skip2);
    for (int x = 0; x <= y; ++x) {
      if (LinesMatch(x, y, depth)) {
        skip1 = x;
        skip2 = y;
        return;
      }
      if (x != y && LinesMatch(y, x, depth)) {
        skip1 = y;
        skip2 = x;
        return;
      }
    }
  }
}

/// Prerequisites: every candidate with a larger skip below FromY has failed.
void TdvCustomDiffEngine::FindResyncIndexed(int fromY, int depth, int& skip1, int& skip2) {
  if (!FIndex) {
    FIndex = std::make_unique<LineIndex>();
    FIndex->Build(*FSource1, *FSource2);
  }
  const LineIndex::Runs& runs = FIndex->RunsOf(depth);
  const size_t next1 = FSource1->next;
  const size_t next2 = FSource2->next;
  const int64_t count1 = FSource1->Count();
  const int64_t count2 = FSource2->Count();
  constexpr int64_t kNone = std::numeric_limits<int64_t>::max();
  using Range = std::pair<const int32_t*, const int32_t*>;

  for (int64_t y = fromY;; ++y) {
    // Test A at (x, y) needs text 1's run at x in the class of text 2's run
    // at y; test B needs text 2's run at x in the class of text 1's run at y.
    const int32_t wantA = runs.ClassAt(1, next2 + static_cast<size_t>(y));
    const int32_t wantB = runs.ClassAt(0, next1 + static_cast<size_t>(y));

    // Real lines: x up to y for A, below y for B (B is not tried at x = y).
    const int64_t lastA = std::min(y, count1 - 1);
    const int64_t lastB = std::min(y - 1, count2 - 1);
    auto [a, aEnd] =
        lastA >= 0 ? runs.Occurrences(0, wantA, next1, next1 + static_cast<size_t>(lastA)) : Range{};
    auto [b, bEnd] =
        lastB >= 0 ? runs.Occurrences(1, wantB, next2, next2 + static_cast<size_t>(lastB)) : Range{};
    // Past its end a text reads as empty lines, all alike: of those only the
    // first, x = count, needs a test.
    int64_t pastA = wantA == runs.emptyRunClass && count1 <= y ? count1 : kNone;
    int64_t pastB = wantB == runs.emptyRunClass && count2 <= y - 1 ? count2 : kNone;

    for (;;) {
      const int64_t xa = a != aEnd ? static_cast<int64_t>(static_cast<size_t>(*a) - next1) : pastA;
      const int64_t xb = b != bEnd ? static_cast<int64_t>(static_cast<size_t>(*b) - next2) : pastB;
      if (xa == kNone && xb == kNone) break;
      if (xa <= xb) {  // at the same x, test A comes first
        if (LinesMatch(static_cast<int>(xa), static_cast<int>(y), depth)) {
          skip1 = static_cast<int>(xa);
          skip2 = static_cast<int>(y);
          return;
        }
        if (a != aEnd)
          ++a;
        else
          pastA = kNone;
      } else {
        if (LinesMatch(static_cast<int>(y), static_cast<int>(xb), depth)) {
          skip1 = static_cast<int>(y);
          skip2 = static_cast<int>(xb);
          return;
        }
        if (b != bEnd)
          ++b;
        else
          pastB = kNone;
      }
    }
  }
}
