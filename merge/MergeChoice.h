#pragma once
// Choices a person makes over a merge plan, one at a time: the plan's
// decisions grouped as a window lists them (a topic with its fields and text
// blocks, or one part of the file besides the topics), a choice as the list
// of resolutions it changes (so it can be carried out and taken back), and
// the merged text of one topic without building the whole merged document.
// Qt-free.

#include <optional>
#include <string>
#include <vector>

#include "merge/Merge.h"

/// One row of a merge: the decisions [First, End) of the plan, the first a
/// topic (with its field and text block decisions after it) or a part of
/// the file besides the topics.
struct TMergeRow {
  int First = 0;
  int End = 0;
};

/// The rows of the plan, in its order.
std::vector<TMergeRow> MergeRows(const TMergePlan& plan);

/// How a row stands.
enum class TMergeRowState : unsigned char {
  Automatic,  // no conflict
  Conflict,   // some conflict still unresolved
  Resolved,   // every conflict has a resolution
};
TMergeRowState RowState(const TMergePlan& plan, const TMergeRow& row);
/// The row's action: Conflict when any of its decisions is one, else its first decision's.
TMergeAction RowAction(const TMergePlan& plan, const TMergeRow& row);

/// What a person picks for a decision or a whole row.
enum class TMergePick : unsigned char {
  Ours,
  Theirs,
  Base,
  Both,            // a topic added on both sides: both kept; a text block: ours then theirs
  OursThenTheirs,  // a text block's lines: ours, then theirs
  TheirsThenOurs,
  Edit,  // a text block's lines as given
};

/// A choice: each decision it changes, with what it had before and has after.
struct TMergeChoice {
  struct TChange {
    int Index = 0;
    TMergeResolution Before = TMergeResolution::Unresolved, After = TMergeResolution::Unresolved;
    std::optional<std::string> ValueBefore, ValueAfter;
  };
  std::vector<TChange> Changes;
  bool Empty() const { return Changes.empty(); }
};

/// The choice of Pick for one decision (a field, a text block, an item, or a
/// conflicting whole topic). Edited is the block's lines (CR LF joined) for Edit.
/// Picks a decision cannot take give an empty choice.
TMergeChoice ChooseDecision(const TMergePlan& plan, int index, TMergePick pick,
                            const std::string& edited = {});
/// The choice of Pick for a whole row: every decision of it that changed takes that side.
TMergeChoice ChooseRow(const TMergePlan& plan, const TMergeRow& row, TMergePick pick);
/// Every unresolved conflict of the plan takes Ours or Theirs.
TMergeChoice ChooseAllUnresolved(const TMergePlan& plan, TMergePick pick);
/// Carries a choice out (Forward) or takes it back.
void ApplyChoice(TMergePlan& plan, const TMergeChoice& choice, bool forward);

/// The first decision of the row that is an unresolved conflict, or -1.
int FirstUnresolved(const TMergePlan& plan, const TMergeRow& row);

/// The merged version of the row, as the merged document would have it: a
/// topic's RTF text (empty for a topic the merge deletes), the chosen value
/// of an item.
std::string RowResult(const TMergePlan& plan, const TMergeRow& row);
/// The side's version of the row: 0 base, 1 ours, 2 theirs; empty where the side has none.
std::string RowSide(const TMergePlan& plan, const TMergeRow& row, int side);
