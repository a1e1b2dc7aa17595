#pragma once
// The rich-text view as the target of text macros (TQCTextMacro::ApplyTo).
// The view is only forward-declared: users of the adapter need none of it.

#include <memory>

#include "document/RichTextTarget.h"

class TRichEdit;

/// A text-macro target over RichEdit, which must outlive it. A syntax macro's
/// scratch view is a hidden TRichEditSyntax with RichEdit's parent.
std::unique_ptr<TQCRichTextTarget> NewRichEditMacroTarget(TRichEdit& richEdit);
