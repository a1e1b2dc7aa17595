#include "app/RichEditBridge.h"

#include <QTextDocument>

#include "app/AppText.h"
#include "richtext/RichEdit.h"

namespace app {

TRichEdit* NewTopicRichEdit(QWidget* parent, const char* name) {
  auto* edit = new TRichEdit(parent);
  edit->setObjectName(QLatin1String(name));
  edit->SetReadOnly(true);
  edit->SetWordWrap(true);
  edit->SetScrollBars(TScrollStyle::ssBoth);
  return edit;
}

QWidget* RichEditWidget(TRichEdit* richEdit) { return richEdit; }

void RichEditLoadFromStream(TRichEdit& richEdit, TStream& stream) { richEdit.LoadFromStream(stream); }

void RichEditClear(TRichEdit& richEdit) { richEdit.Clear(); }

// An empty view has no lines at all (not one empty line), so that a topic
// without a History match shows every line as present on the left only.
std::string RichEditPlainTextCrLf(const TRichEdit& richEdit) {
  if (richEdit.GetTextLen() == 0) return {};
  // Joined first and converted once: a code-page conversion has a fixed
  // cost per call that would dominate for thousands of short lines.
  QString text;
  for (const QString& line : richEdit.PlainTextLines()) {
    text += line;
    text += QLatin1String("\r\n");
  }
  return FromQString(text);
}

QStringList RichEditLines(const TRichEdit& richEdit) {
  return richEdit.GetTextLen() == 0 ? QStringList() : richEdit.PlainTextLines();
}

bool RichEditReadOnly(const TRichEdit& richEdit) { return richEdit.ReadOnly(); }

void RichEditScrollToLine(TRichEdit& richEdit, int line) {
  richEdit.ScrollLines(line - richEdit.FirstVisibleLine());
}

int RichEditFirstVisibleLine(const TRichEdit& richEdit) { return richEdit.FirstVisibleLine(); }

std::vector<TTextSpan> RichEditFind(const TRichEdit& richEdit, const QString& text, int maxCount) {
  std::vector<TTextSpan> spans;
  if (text.isEmpty()) return spans;
  const QTextDocument* document = richEdit.document();
  // Without flags the search ignores case.
  QTextCursor at(const_cast<QTextDocument*>(document));
  while (static_cast<int>(spans.size()) < maxCount) {
    at = document->find(text, at);
    if (at.isNull()) break;
    spans.push_back({at.selectionStart(), at.selectionEnd() - at.selectionStart()});
  }
  return spans;
}

void RichEditMarkSpans(TRichEdit& richEdit, const std::vector<TTextSpan>& spans, int current) {
  // Amber for every place, orange for the current one: the texts show no
  // other background of their own.
  static const QColor kMark(0xFF, 0xE2, 0x7A);
  static const QColor kCurrent(0xFF, 0x9F, 0x40);
  QList<QTextEdit::ExtraSelection> marks;
  QTextDocument* document = richEdit.document();
  for (int i = 0; i < static_cast<int>(spans.size()); ++i) {
    QTextEdit::ExtraSelection mark;
    mark.cursor = QTextCursor(document);
    mark.cursor.setPosition(spans[static_cast<size_t>(i)].Start);
    mark.cursor.setPosition(spans[static_cast<size_t>(i)].Start + spans[static_cast<size_t>(i)].Length,
                            QTextCursor::KeepAnchor);
    mark.format.setBackground(i == current ? kCurrent : kMark);
    marks.append(mark);
  }
  richEdit.setExtraSelections(marks);
  if (current < 0 || current >= static_cast<int>(spans.size())) return;
  QTextCursor caret(document);
  caret.setPosition(spans[static_cast<size_t>(current)].Start);
  richEdit.setTextCursor(caret);
  richEdit.ensureCursorVisible();
}

}  // namespace app
