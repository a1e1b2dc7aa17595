#pragma once
// What the window does with its two rich-text views, in one narrow unit:
// the window's own code needs only these few operations of the view.

#include <QStringList>
#include <string>
#include <vector>

class QWidget;
class TRichEdit;
class TStream;

namespace app {

/// A read-only view with word wrap and both scroll bars, as the window shows topic texts.
TRichEdit* NewTopicRichEdit(QWidget* parent, const char* name);
QWidget* RichEditWidget(TRichEdit* richEdit);

/// Replaces the content with the RTF of Stream (plain text when it is not RTF).
void RichEditLoadFromStream(TRichEdit& richEdit, TStream& stream);
void RichEditClear(TRichEdit& richEdit);
/// The rendered lines, each followed by CR LF, in Windows-1252; nothing for an empty view.
std::string RichEditPlainTextCrLf(const TRichEdit& richEdit);
/// The rendered lines.
QStringList RichEditLines(const TRichEdit& richEdit);
bool RichEditReadOnly(const TRichEdit& richEdit);
/// Scrolls so that Line (a paragraph, from 0) is the first one shown, as far as the view can.
void RichEditScrollToLine(TRichEdit& richEdit, int line);
/// The first line shown.
int RichEditFirstVisibleLine(const TRichEdit& richEdit);

/// A stretch of a view's text: its first character and its length.
struct TTextSpan {
  int Start = 0;
  int Length = 0;
};
/// Where Text stands in the view, ignoring case, in order; at most MaxCount places.
std::vector<TTextSpan> RichEditFind(const TRichEdit& richEdit, const QString& text, int maxCount);
/// Marks the spans behind their text, the one at Current (when it is one)
/// more strongly and scrolled into view; no spans take every mark away.
void RichEditMarkSpans(TRichEdit& richEdit, const std::vector<TTextSpan>& spans, int current);

}  // namespace app
