#pragma once
// Light and dark: the palettes the window can show, which one is in use, and
// the colours of the comparison classes and the difference on each of them.
// Every colour that carries meaning stays readable (contrast of at least
// 4.5:1) on the background it is drawn on, whatever the palette.

#include <QColor>
#include <QPalette>

#include "document/TopicComparison.h"
#include "toolkit/Graphics.h"

namespace app {

/// Where the window takes its palette from.
enum class TColorScheme : int { FollowDesktop = 0, Light = 1, Dark = 2 };

/// The palette of each fixed scheme.
QPalette LightPalette();
QPalette DarkPalette();

/// Gives the application the scheme's palette; FollowDesktop hands the
/// choice back to the desktop (the palette Qt's platform reports, which
/// follows the desktop's dark or light setting where Qt learns of it).
void ApplyColorScheme(TColorScheme scheme);

/// The text colour of a comparison class on `background`: a red, black,
/// grey, blue and olive of the palette's kind (dark or light), moved as far
/// as needed to stay readable.
QColor ClassColor(TTopicComparison kind, const QColor& background);

/// The colours the difference viewer draws changed lines with.
struct TDifferenceColors {
  TColor Text;        // every line's text
  TColor Changed;     // background of changed, inserted and deleted lines
  TColor Words;       // background of the changed words inside them
  TColor Filler;      // background of the gaps that keep lines level
  TColor FormatLine;  // background of lines that read the same but are formatted otherwise
  TColor FormatSpan;  // background of the characters whose formatting changed
  TColor FormatMark;  // the bar beside such lines, and the list's mark of such topics
};
TDifferenceColors DifferenceColors(const QPalette& palette);

}  // namespace app
