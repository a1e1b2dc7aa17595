// TQCTextMacro::ApplyTo: putting a text macro onto the selection of a
// rich-text view. Kept apart from the model because it is the one place the
// document drives a view (through TQCRichTextTarget, never Qt directly).

#include <vector>

#include "document/QuillcrafterDoc.h"
#include "document/RichTextTarget.h"
#include "toolkit/SysUtils.h"

namespace {

void ApplySyntaxMacro(TQCRichTextTarget& richEdit, TSyntaxType syntaxType, const std::string& typeFace,
                      int size) {
  // Nothing is selected: there is nothing to colour.
  if (richEdit.SelLength() <= 0) return;

  // The text goes to the scratch view and back as clips, not through the
  // system clipboard, which keeps what the user put there.
  const std::unique_ptr<TQCSyntaxScratch> scratch = richEdit.NewSyntaxScratch();
  scratch->Paste(*richEdit.CopySelection());
  scratch->SetSyntaxType(syntaxType);
  scratch->HighlightAll();
  scratch->SelectAll();
  const std::unique_ptr<TQCRichTextClip> coloured = scratch->CopySelection();

  const int start = richEdit.SelStart();
  const int length = scratch->SelLength();
  richEdit.Paste(*coloured);
  richEdit.SetSelStart(start);
  richEdit.SetSelLength(length);

  TQCCharAttributes font;
  font.HasTypeFace = !typeFace.empty();
  font.TypeFace = typeFace;
  // A size of zero or below names no point size; the pasted size stays.
  font.HasSize = size > 0;
  font.Size = size;
  if (font.HasTypeFace || font.HasSize) richEdit.SetSelCharAttributes(font);
}

}  // namespace

void TQCTextMacro::ApplyTo(TQCRichTextTarget& richEdit) const {
  if (FIsSyntaxMacro) {
    ApplySyntaxMacro(richEdit, FSyntaxType, FTypeFace, FSize);
    return;
  }

  // The tab stops are read first: a line that is not a number raises before
  // the selection is touched, instead of leaving it half formatted.
  TQCParaAttributes paragraph;
  paragraph.Tabs.reserve(static_cast<size_t>(FTabs->Count()));
  for (int i = 0; i < FTabs->Count(); ++i) paragraph.Tabs.push_back(StrToInt(Trim(FTabs->Strings(i))));

  TQCCharAttributes characters;
  characters.HasColor = true;
  characters.Color = FColor;
  characters.HasTypeFace = !FTypeFace.empty();
  characters.TypeFace = FTypeFace;
  characters.HasSize = FSize > 0;
  characters.Size = FSize;
  characters.HasStyle = true;
  characters.Style = FStyle;
  richEdit.SetSelCharAttributes(characters);

  paragraph.Bullet = FBullet;
  // An alignment read from a file outside the three known values names no
  // alignment the view has; the paragraphs keep theirs.
  switch (FAlignment) {
    case taLeftJustify:
      paragraph.HasAlignment = true;
      paragraph.Alignment = TQCParaAlignment::Left;
      break;
    case taRightJustify:
      paragraph.HasAlignment = true;
      paragraph.Alignment = TQCParaAlignment::Right;
      break;
    case taCenter:
      paragraph.HasAlignment = true;
      paragraph.Alignment = TQCParaAlignment::Center;
      break;
  }
  paragraph.FirstIndent = FIndent;
  paragraph.LeftIndent = FLeftMargin;
  paragraph.RightIndent = FRightMargin;
  richEdit.SetSelParagraph(paragraph);
}
