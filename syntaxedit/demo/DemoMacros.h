#pragma once
// The demo's access to the document's built-in text macros, in a unit of its
// own: the document's headers cannot sit beside the view's.

#include <QStringList>

class TRichEdit;

namespace demo {

/// Names of the built-in text macros, in the document's order.
QStringList BuiltInMacroNames();
/// Applies the built-in macro Index to the selection of View.
void ApplyBuiltInMacro(int index, TRichEdit& view);

}  // namespace demo
