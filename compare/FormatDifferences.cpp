#include "compare/FormatDifferences.h"

#include "compare/ComparisonSession.h"
#include "compare/FieldDifferences.h"
#include "document/QuillcrafterDoc.h"

namespace {

// How many changes the one-line strip names before it says how many more.
constexpr size_t kStripChanges = 2;

const TFormattedLine* LineAt(const std::vector<TFormattedLine>& lines, int32_t index) {
  return index >= 0 && static_cast<size_t>(index) < lines.size() ? &lines[static_cast<size_t>(index)]
                                                                 : nullptr;
}

}  // namespace

std::vector<TRowFormatChange> RowFormatChanges(const std::vector<TdvDiffRow>& rows, std::string_view rtf1,
                                               std::string_view rtf2, const TCodePageDecoder& decode) {
  std::vector<TRowFormatChange> changes;
  if (rtf1 == rtf2 || rows.empty()) return changes;
  const std::vector<TFormattedLine> lines1 = RtfToFormattedLines(rtf1, decode);
  const std::vector<TFormattedLine> lines2 = RtfToFormattedLines(rtf2, decode);
  for (size_t i = 0; i < rows.size(); ++i) {
    const TdvDiffRow& row = rows[i];
    if (row.Kind1 != dkSame || row.Kind2 != dkSame) continue;
    const TFormattedLine* line1 = LineAt(lines1, row.Line1);
    const TFormattedLine* line2 = LineAt(lines2, row.Line2);
    // Blanks the difference ignores, or a NUL shown as its symbol, would
    // shift the offsets: such a row is left to the text difference.
    if (line1 == nullptr || line2 == nullptr || line1->Text != row.Text1 || line2->Text != row.Text2)
      continue;
    // Told as the change from History (side 2) to Latest: "bold added"
    // means Latest has the bold.
    TFormatChange change = CompareLineFormatting(*line2, *line1);
    if (change.Differs) changes.push_back({static_cast<int>(i), std::move(change)});
  }
  return changes;
}

std::string FormatChangeToolTip(const TFormatChange& change) {
  // Every change is told from History to Latest, as the field summaries are.
  std::string text = "Formatting, History \xE2\x86\x92 Latest:";
  for (const TFormatChangeItem& item : change.Items) {
    text += '\n';
    text += item.Description;
  }
  return text;
}

std::string DifferencesLine(const std::vector<TFieldDifference>& fields,
                            const std::vector<TRowFormatChange>& formatChanges) {
  // The first changes, and how many there are in all.
  std::string named;
  size_t total = 0, shown = 0;
  for (const TRowFormatChange& row : formatChanges)
    for (const TFormatChangeItem& item : row.Change.Items) {
      ++total;
      if (shown == kStripChanges) continue;
      if (shown++ > 0) named += "; ";
      named += item.Description;
    }
  if (total > shown) named += "; and " + std::to_string(total - shown) + " more";
  std::string line;
  for (const TFieldDifference& field : fields) {
    if (!line.empty()) line += "; ";
    line += field.Summary;
    // The text field reads the same on both sides: only its formatting differs.
    if (field.Name == "Text" && field.Latest == field.History && !named.empty()) line += " (" + named + ")";
  }
  return line;
}
