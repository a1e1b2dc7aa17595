#include "syntaxedit/RichEditMacroTarget.h"

#include <QMimeData>

#include "richtext/RichEdit.h"
#include "syntaxedit/RichEditHighlight.h"

namespace {

TParaAlignment ToViewAlignment(TQCParaAlignment alignment) {
  switch (alignment) {
    case TQCParaAlignment::Right:
      return TParaAlignment::taRightJustify;
    case TQCParaAlignment::Center:
      return TParaAlignment::taCenter;
    case TQCParaAlignment::Left:
      break;
  }
  return TParaAlignment::taLeftJustify;
}

/// A copy from a view: the data a copy would have put on the clipboard.
class TMimeClip : public TQCRichTextClip {
 public:
  explicit TMimeClip(std::unique_ptr<QMimeData> data) : Data(std::move(data)) {}
  std::unique_ptr<QMimeData> Data;
};

/// The target operations over a view; Base is the interface it implements.
template <class Base>
class TViewTarget : public Base {
 public:
  explicit TViewTarget(TRichEdit& edit) : FEdit(edit) {}

  int SelStart() const override { return FEdit.SelStart(); }
  int SelLength() const override { return FEdit.SelLength(); }
  void SetSelStart(int value) override { FEdit.SetSelStart(value); }
  void SetSelLength(int value) override { FEdit.SetSelLength(value); }
  void SelectAll() override { FEdit.SelectAll(); }
  std::unique_ptr<TQCRichTextClip> CopySelection() const override {
    return std::make_unique<TMimeClip>(FEdit.SelectionMimeData());
  }
  // Clips come from views of this layer only; another kind is a caller's bug
  // and raises std::bad_cast before the view is touched.
  void Paste(const TQCRichTextClip& clip) override {
    FEdit.InsertMimeData(*dynamic_cast<const TMimeClip&>(clip).Data);
  }

  void SetSelCharAttributes(const TQCCharAttributes& a) override {
    TRichCharAttributes v;
    v.HasColor = a.HasColor;
    v.Color = a.Color;
    if (a.HasTypeFace) v.Name = a.TypeFace;
    if (a.HasSize && a.Size > 0) v.Size = a.Size;
    v.HasStyle = a.HasStyle;
    v.Style = a.Style;
    FEdit.SetSelAttributes(v);
  }

  void SetSelParagraph(const TQCParaAttributes& a) override {
    TRichParaAttributes v;
    v.HasNumbering = true;
    v.Numbering = a.Bullet ? nsBullet : nsNone;
    v.HasAlignment = a.HasAlignment;
    v.Alignment = ToViewAlignment(a.Alignment);
    v.HasFirstIndent = v.HasLeftIndent = v.HasRightIndent = true;
    v.FirstIndent = a.FirstIndent;
    v.LeftIndent = a.LeftIndent;
    v.RightIndent = a.RightIndent;
    v.HasTabs = true;
    v.Tabs = a.Tabs;
    FEdit.SetParagraph(v);
  }

  std::unique_ptr<TQCSyntaxScratch> NewSyntaxScratch() override;

 protected:
  TRichEdit& FEdit;
};

/// Owns the hidden view; a base of its own so that it exists before the target part refers to it.
struct TScratchView {
  explicit TScratchView(QWidget* parent) : View(std::make_unique<TRichEditSyntax>(parent)) {
    View->setVisible(false);
    View->SetWordWrap(false);
  }
  std::unique_ptr<TRichEditSyntax> View;
};

class TSyntaxScratch : private TScratchView, public TViewTarget<TQCSyntaxScratch> {
 public:
  explicit TSyntaxScratch(QWidget* parent) : TScratchView(parent), TViewTarget(*View) {}
  void SetSyntaxType(TSyntaxType value) override { View->SetSyntaxType(value); }
  void HighlightAll() override { View->HighlightAll(); }
};

template <class Base>
std::unique_ptr<TQCSyntaxScratch> TViewTarget<Base>::NewSyntaxScratch() {
  return std::make_unique<TSyntaxScratch>(FEdit.parentWidget());
}

}  // namespace

std::unique_ptr<TQCRichTextTarget> NewRichEditMacroTarget(TRichEdit& richEdit) {
  return std::make_unique<TViewTarget<TQCRichTextTarget>>(richEdit);
}
