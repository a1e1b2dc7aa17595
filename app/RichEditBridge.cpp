#include "app/RichEditBridge.h"

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

}  // namespace app
