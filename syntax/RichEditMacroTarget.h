#pragma once
// The rich-text view as the target of text macros (TQCTextMacro::ApplyTo).
// This header names the view only by a forward declaration, so that it can
// sit beside the document's headers, whose alignment enumerators share
// their names with the view's.

#include <memory>

#include "document/RichTextTarget.h"

class TRichEdit;

/// A text-macro target over RichEdit, which must outlive it. A syntax macro's
/// scratch view is a hidden TRichEditSyntax with RichEdit's parent.
std::unique_ptr<TQCRichTextTarget> NewRichEditMacroTarget(TRichEdit& richEdit);
