#pragma once
// Inside of the line difference engine, shared by its source files only:
// a source text as one buffer with line spans and per-line comparison keys.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "diff/dvDiffEngine.h"

namespace dv_diff_detail {

struct LineSpan {
  size_t offset = 0;
  size_t length = 0;
};

/// Where the lines of Text lie (same rules as SplitDiffLines).
void FindLines(std::string_view text, std::vector<LineSpan>& spans);

/// A cheap fingerprint of a normalised line: lines with different
/// fingerprints differ; equal ones still have to be compared byte by byte.
uint64_t Fingerprint(const char* bytes, size_t length);

}  // namespace dv_diff_detail

/// A source text: its raw lines, the first line not yet emitted, and one
/// comparison key per line (its normalised bytes with a fingerprint).
struct TdvCustomDiffEngine::Side {
  struct Key {
    uint64_t fingerprint = 0;
    size_t offset = 0;  // of the normalised bytes, from base
    size_t length = 0;
  };

  std::string text;                             // the whole text as it arrived
  std::vector<dv_diff_detail::LineSpan> lines;  // where each line lies in text
  size_t next = 0;                              // first line not yet emitted
  std::string normalised;                       // normalised lines back to back, when they differ from text
  const char* base = nullptr;                   // normalised, or text when normalising only strips
  std::vector<Key> keys;
  Key emptyKey;  // what a line past the end compares as

  int Count() const { return static_cast<int>(lines.size() - next); }
  bool Empty() const { return next >= lines.size(); }
  std::string_view TakeFront() {
    const dv_diff_detail::LineSpan& span = lines[next++];
    return std::string_view(text).substr(span.offset, span.length);
  }

  /// Raises EInvalidOperation for a text of more lines than the results can count.
  void Load(std::string_view newText);

  /// Key of the line Index after the first one not yet emitted.
  const Key& KeyAt(int64_t index) const {
    size_t absolute = next + static_cast<size_t>(index);
    return absolute < keys.size() ? keys[absolute] : emptyKey;
  }

  const char* Bytes(const Key& key) const { return base + key.offset; }

  /// Normalises every line once: deletion of ignored bytes, then stripping,
  /// then ASCII lower case, the fixed order of the comparison.
  void BuildKeys(TdvDiffOptions options, const TdvCharSet& ignoreChars);

  /// True when two keys, of this side and of Other, stand for equal normalised lines.
  bool SameLine(const Key& mine, const Side& other, const Key& theirs) const {
    return mine.fingerprint == theirs.fingerprint && mine.length == theirs.length &&
           std::memcmp(Bytes(mine), other.Bytes(theirs), mine.length) == 0;
  }
};

/// Runs of Depth + 1 lines of both texts by equivalence class, built on the
/// first long search of a run: a test can only hold where the runs on both
/// sides are in the same class, so the search tries only those candidates.
struct TdvCustomDiffEngine::LineIndex {
  /// Per side, the class of every line; class 0 is the normalised empty line,
  /// which is also what a line past the end compares as.
  std::vector<int32_t> lineClass[2];

  /// For one depth: per side, the class of the run of Depth + 1 lines that
  /// starts at each line (lines past the end read as class 0), and the
  /// starting lines grouped by run class, ascending within a group: group c
  /// is positions[c] from groupStart[c] to groupStart[c + 1].
  struct Runs {
    int depth = -1;
    std::vector<int32_t> runClass[2];
    std::vector<int32_t> groupStart[2];
    std::vector<int32_t> positions[2];
    int32_t emptyRunClass = 0;  // the class of a run wholly past the end

    int32_t ClassAt(int side, size_t absolute) const {
      return absolute < runClass[side].size() ? runClass[side][absolute] : emptyRunClass;
    }
    /// The lines on Side from absolute line From to To, inclusive, whose run is of class Id.
    std::pair<const int32_t*, const int32_t*> Occurrences(int side, int32_t id, size_t from, size_t to) const;
  };
  Runs runs[2];  // the two depths a run uses: 1 at the top, MatchDepth after

  void Build(const Side& side1, const Side& side2);
  const Runs& RunsOf(int depth);
};
