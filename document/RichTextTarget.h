#pragma once
// What putting a text macro onto a rich-text selection needs from a view.
// The document is Qt-free, so TQCTextMacro::ApplyTo reaches the view only
// through this interface; the Qt layer adapts its rich-text view to it.
//
// The types here are deliberately the document's own: the view's header
// declares alignment enumerators with the same names as the document's, so
// neither side includes the other.

#include <memory>
#include <string>
#include <vector>

#include "syntax/hltSyntaxType.h"
#include "toolkit/Graphics.h"

/// Character attributes for the selection; members whose Has flag is clear are left alone.
struct TQCCharAttributes {
  bool HasColor = false;
  TColor Color = clBlack;
  bool HasTypeFace = false;
  std::string TypeFace;  // Windows-1252
  bool HasSize = false;
  int Size = 0;  // points
  bool HasStyle = false;
  TFontStyles Style;
};

/// Paragraph alignment as the view knows it.
enum class TQCParaAlignment { Left, Right, Center };

/// Paragraph attributes for every paragraph the selection touches. Indents
/// and tab stops are in points; the tab count is Tabs.size().
struct TQCParaAttributes {
  bool Bullet = false;
  bool HasAlignment = false;
  TQCParaAlignment Alignment = TQCParaAlignment::Left;
  int FirstIndent = 0;
  int LeftIndent = 0;
  int RightIndent = 0;
  std::vector<int> Tabs;
};

class TQCSyntaxScratch;

/// Rich text (formatting included) copied from one view for a paste into
/// another, held in the form of the views' own layer. It never goes through
/// the system clipboard: applying a macro leaves what the user copied alone.
class TQCRichTextClip {
 public:
  virtual ~TQCRichTextClip() = default;
};

/// A rich-text view with a selection and formatting.
/// Positions count characters of the view.
class TQCRichTextTarget {
 public:
  virtual ~TQCRichTextTarget() = default;

  virtual int SelStart() const = 0;
  virtual int SelLength() const = 0;
  /// Moves the caret, collapsing the selection.
  virtual void SetSelStart(int value) = 0;
  /// Extends the selection from SelStart() by Value characters.
  virtual void SetSelLength(int value) = 0;
  virtual void SelectAll() = 0;

  /// The selection as rich text (an empty clip for an empty selection).
  virtual std::unique_ptr<TQCRichTextClip> CopySelection() const = 0;
  /// Replaces the selection with Clip, a copy from a view of the same kind,
  /// and leaves the caret after it.
  virtual void Paste(const TQCRichTextClip& clip) = 0;

  virtual void SetSelCharAttributes(const TQCCharAttributes& attributes) = 0;
  virtual void SetSelParagraph(const TQCParaAttributes& attributes) = 0;

  /// A new hidden syntax-colouring view beside this one (same owner and
  /// parent), word wrap off, used as a scratch pad; destroyed with the result.
  virtual std::unique_ptr<TQCSyntaxScratch> NewSyntaxScratch() = 0;
};

/// The hidden syntax-colouring view a syntax macro colours its text in.
class TQCSyntaxScratch : public TQCRichTextTarget {
 public:
  virtual void SetSyntaxType(TSyntaxType value) = 0;
  /// Re-colours the whole text as source code of the current language.
  virtual void HighlightAll() = 0;
};
