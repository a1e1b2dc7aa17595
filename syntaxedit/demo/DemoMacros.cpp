#include "DemoMacros.h"

#include "document/QuillcrafterDoc.h"
#include "qtbridge/QtText.h"
#include "syntaxedit/RichEditMacroTarget.h"

namespace demo {
namespace {

TQuillcrafterDoc& Document() {
  static TQuillcrafterDoc document;
  static const bool filled = [] {
    document.AddDefaultTextMacros();
    return true;
  }();
  (void)filled;
  return document;
}

}  // namespace

QStringList BuiltInMacroNames() {
  QStringList names;
  const TQCTextMacros& macros = Document().TextMacros();
  for (int i = 0; i < macros.Count(); ++i) names.append(qtbridge::AnsiToQString(macros[i]->Name()));
  return names;
}

void ApplyBuiltInMacro(int index, TRichEdit& view) {
  const TQCTextMacros& macros = Document().TextMacros();
  if (index < 0 || index >= macros.Count()) return;
  macros[index]->ApplyTo(*NewRichEditMacroTarget(view));
}

}  // namespace demo
