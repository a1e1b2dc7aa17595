#pragma once
// Lines of a pair that read the same but look different. The line
// difference aligns the plain texts; for every row whose two lines it finds
// the same, their formatted runs are compared (bold, italic, underline,
// strike, capitals, position, font, size, colour, highlight, and the
// paragraph's alignment, indents, spacing, tabs and numbering), so that a
// word made bold or a paragraph centred is told in words rather than
// showing as no difference at all. Qt-free.

#include <string>
#include <string_view>
#include <vector>

#include "diff/dvDiffEngine.h"
#include "richtext/RtfFormatRuns.h"

struct TFieldDifference;

/// One row of a difference whose two lines are the same text but are
/// formatted differently.
struct TRowFormatChange {
  int Row = -1;
  TFormatChange Change;  // its character items' bytes index the row's text, on either side
};

/// The rows of Rows (a difference of the plain texts of Rtf1, Latest, and
/// Rtf2, History) whose lines are the same text and differ in formatting,
/// ascending, each change told from History to Latest ("bold added": Latest
/// has the bold). Rows are only compared where both lines are exactly the
/// formatted lines' text, so that every offset holds on both sides. The
/// window and the reports both take their descriptions from here.
std::vector<TRowFormatChange> RowFormatChanges(const std::vector<TdvDiffRow>& rows, std::string_view rtf1,
                                               std::string_view rtf2, const TCodePageDecoder& decode);

/// A row's tooltip: a heading that says the changes read from History to
/// Latest, then every change on a line of its own.
std::string FormatChangeToolTip(const TFormatChange& change);

/// The pair's differences in one line, as the window's strip shows them:
/// the field summaries joined by "; ", and where the text differs only in
/// formatting, the first changes after it in brackets.
std::string DifferencesLine(const std::vector<TFieldDifference>& fields,
                            const std::vector<TRowFormatChange>& formatChanges);
