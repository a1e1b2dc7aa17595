#include "app/RichEditBridge.h"

#include "richtext/RichEdit.h"

namespace app {

TRichEdit* NewTopicRichEdit(QWidget* parent, const char* name) {
  auto* edit = new TRichEdit(parent);
  edit->setObjectName(QLatin1String(name));
  edit->SetReadOnly(true);
  edit->SetWordWrap(true);
  edit->SetScrollBars(ssBoth);
  return edit;
}

QWidget* RichEditWidget(TRichEdit* richEdit) { return richEdit; }

void RichEditLoadFromStream(TRichEdit& richEdit, TStream& stream) { richEdit.LoadFromStream(stream); }

void RichEditClear(TRichEdit& richEdit) { richEdit.Clear(); }

// An empty view has no lines at all (not one empty line), so that a topic
// without a History match shows every line as present on the left only.
std::string RichEditPlainTextCrLf(const TRichEdit& richEdit) {
  return richEdit.GetTextLen() == 0 ? std::string() : richEdit.PlainTextCrLf();
}

QStringList RichEditLines(const TRichEdit& richEdit) {
  return richEdit.GetTextLen() == 0 ? QStringList() : richEdit.PlainTextLines();
}

bool RichEditReadOnly(const TRichEdit& richEdit) { return richEdit.ReadOnly(); }

}  // namespace app
