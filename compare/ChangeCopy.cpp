#include "compare/ChangeCopy.h"

#include <algorithm>

#include "compare/FormatDifferences.h"
#include "compare/SelectedPair.h"
#include "diff/dvDiffEngine.h"
#include "document/QuillcrafterDoc.h"
#include "richtext/RtfSplice.h"
#include "toolkit/Classes.h"

namespace {

/// The lines one side's rows cover, or where they would go.
TLineRange SideLines(const std::vector<TdvDiffRow>& rows, int firstRow, int endRow, bool latest) {
  auto line = [&](int row) {
    const TdvDiffRow& r = rows[static_cast<size_t>(row)];
    return latest ? r.Line1 : r.Line2;
  };
  TLineRange range{-1, -1};
  for (int row = firstRow; row < endRow; ++row) {
    const int l = line(row);
    if (l < 0) continue;
    if (range.First < 0) range.First = l;
    range.End = l + 1;
  }
  if (range.First >= 0) return range;
  // No line of this side in the run: the place after its last line before it.
  int at = 0;
  for (int row = firstRow - 1; row >= 0; --row)
    if (line(row) >= 0) {
      at = line(row) + 1;
      break;
    }
  return {at, at};
}

std::string SideName(bool latest) { return latest ? "Latest" : "History"; }

}  // namespace

TRowLines RowLines(const std::vector<TdvDiffRow>& rows, int firstRow, int endRow) {
  const int count = static_cast<int>(rows.size());
  firstRow = std::clamp(firstRow, 0, count);
  endRow = std::clamp(endRow, firstRow, count);
  return {SideLines(rows, firstRow, endRow, true), SideLines(rows, firstRow, endRow, false)};
}

std::vector<TdvHunk> ChangeBlocks(const TSelectedPair& pair) { return FindDiffHunks(pair.Engine().Rows()); }

TdvHunk ChangedRowsWithin(const std::vector<TdvDiffRow>& rows, int firstRow, int endRow) {
  const int count = static_cast<int>(rows.size());
  firstRow = std::clamp(firstRow, 0, count);
  endRow = std::clamp(endRow, firstRow, count);
  auto changed = [&](int row) { return rows[static_cast<size_t>(row)].Kind1 != dkSame; };
  while (firstRow < endRow && !changed(firstRow)) ++firstRow;
  while (endRow > firstRow && !changed(endRow - 1)) --endRow;
  return {firstRow, endRow - firstRow};
}

std::string CopyLines(std::string_view targetRtf, TLineRange into, std::string_view sourceRtf,
                      TLineRange from, const TCodePageDecoder& decode) {
  return SpliceRtfLines(targetRtf, into.First, into.End, sourceRtf, from.First, from.End, decode);
}

std::optional<TTopicEdit> MakeRowsCopy(const TSelectedPair& pair, int firstRow, int endRow, bool intoLatest) {
  TQCTopic* target = intoLatest ? pair.Latest() : pair.History();
  const TQCTopic* source = intoLatest ? pair.History() : pair.Latest();
  if (target == nullptr || source == nullptr) return std::nullopt;
  const std::vector<TdvDiffRow>& rows = pair.Engine().Rows();
  const TdvHunk run = ChangedRowsWithin(rows, firstRow, endRow);
  if (run.RowCount == 0) return std::nullopt;
  TStringList text;
  const std::vector<TdvHunk> blocks = FindDiffHunks(rows);
  const bool everyChange =
      !blocks.empty() && run.FirstRow <= blocks.front().FirstRow && run.EndRow() >= blocks.back().EndRow();
  if (everyChange && pair.FormatChanges().empty()) {
    text.Assign(source->Text());
    TTopicEdit edit = TTopicEdit::Text(*target, text, intoLatest);
    edit.SetLabel("Copy Lines to " + SideName(intoLatest));
    return edit;
  }
  const TRowLines lines = RowLines(rows, run.FirstRow, run.EndRow());
  const std::string after =
      CopyLines(target->WholeText(), intoLatest ? lines.Latest : lines.History, source->WholeText(),
                intoLatest ? lines.History : lines.Latest, pair.Decoder());
  text.SetText(after);
  TTopicEdit edit = TTopicEdit::Text(*target, text, intoLatest);
  edit.SetLabel("Copy Lines to " + SideName(intoLatest));
  return edit;
}

std::optional<TTopicEdit> MakeFormatCopy(const TSelectedPair& pair, int row, bool intoLatest) {
  TQCTopic* target = intoLatest ? pair.Latest() : pair.History();
  const TQCTopic* source = intoLatest ? pair.History() : pair.Latest();
  if (target == nullptr || source == nullptr) return std::nullopt;
  const std::vector<TRowFormatChange> changes = pair.FormatChanges();
  if (std::none_of(changes.begin(), changes.end(), [row](const TRowFormatChange& c) { return c.Row == row; }))
    return std::nullopt;
  const TdvDiffRow& r = pair.Engine().Rows()[static_cast<size_t>(row)];
  const TLineRange latest{r.Line1, r.Line1 + 1}, history{r.Line2, r.Line2 + 1};
  TStringList text;
  text.SetText(CopyLines(target->WholeText(), intoLatest ? latest : history, source->WholeText(),
                         intoLatest ? history : latest, pair.Decoder()));
  TTopicEdit edit = TTopicEdit::Text(*target, text, intoLatest);
  edit.SetLabel("Copy Formatting to " + SideName(intoLatest));
  return edit;
}

std::optional<TTopicEdit> MakeChangeCopy(const TSelectedPair& pair, int block, bool intoLatest) {
  const std::vector<TdvHunk> blocks = ChangeBlocks(pair);
  if (block < 0 || block >= static_cast<int>(blocks.size())) return std::nullopt;
  const TdvHunk& hunk = blocks[static_cast<size_t>(block)];
  std::optional<TTopicEdit> edit = MakeRowsCopy(pair, hunk.FirstRow, hunk.EndRow(), intoLatest);
  if (edit) edit->SetLabel("Copy Change " + std::to_string(block + 1) + " to " + SideName(intoLatest));
  return edit;
}
