#pragma once
// The difference of two texts as a value: the aligned rows and the change
// blocks (hunks) among them, owning the lines the rows view. What a report,
// a tool or a merge reads when it has no viewer to feed; the stateful engine
// (dvDiffEngine.h) hands the same rows to its viewers.

#include <memory>
#include <string>
#include <vector>

#include "diff/dvDiffEngine.h"

/// A change block: a maximal run of rows that are not "same".
struct TdvHunk {
  int FirstRow = 0;
  int RowCount = 0;
  int EndRow() const { return FirstRow + RowCount; }
  friend bool operator==(const TdvHunk&, const TdvHunk&) = default;
};

/// Rows and hunks of one comparison. Copies share the lines, so the texts
/// the rows view stay valid as long as any copy lives.
struct TdvDiffResult {
  std::vector<TdvDiffRow> Rows;
  std::vector<TdvHunk> Hunks;
  /// The lines of text 1 and text 2 (what Line1/Line2 index).
  std::shared_ptr<const std::vector<std::string>> Lines1;
  std::shared_ptr<const std::vector<std::string>> Lines2;

  int RowCount() const { return static_cast<int>(Rows.size()); }
  int LineCount1() const { return Lines1 ? static_cast<int>(Lines1->size()) : 0; }
  int LineCount2() const { return Lines2 ? static_cast<int>(Lines2->size()) : 0; }
  /// The first row of the nearest hunk that starts after Row (before it when
  /// Forward is false); -1 when there is none.
  int NextHunkRow(int row, bool forward) const;
  /// The hunk that holds Row, or -1 when Row is a same row or out of range.
  int HunkAt(int row) const;
};

/// The hunks of Rows: maximal runs of rows that are not "same".
std::vector<TdvHunk> FindDiffHunks(const std::vector<TdvDiffRow>& rows);
