#include "document/KVDeltaFont.h"

#include "toolkit/ScopeGuard.h"

namespace {

struct StyleAttribute {
  TFontStyle style;
  TKVFontAttribute attribute;
};

constexpr StyleAttribute kStyleAttributes[] = {
    {TFontStyle::fsBold, TKVFontAttribute::faBold},
    {TFontStyle::fsItalic, TKVFontAttribute::faItalic},
    {TFontStyle::fsUnderline, TKVFontAttribute::faUnderline},
    {TFontStyle::fsStrikeOut, TKVFontAttribute::faStrikeOut},
};

}  // namespace

void TKVCustomDeltaFont::Changed() {
  if (!FBusy) ComputeDelta();
  TFont::Changed();
}

void TKVCustomDeltaFont::ComputeDelta() {
  const TFont* parent = ParentFont();
  if (parent == nullptr || FBusy) return;
  FBusy = true;
  FOverridden = TKVFontAttributes();
  for (const auto& sa : kStyleAttributes)
    if (Style().Contains(sa.style) != parent->Style().Contains(sa.style)) FOverridden.Include(sa.attribute);
  if (Color() != parent->Color()) FOverridden.Include(TKVFontAttribute::faColor);
  if (Name() != parent->Name()) FOverridden.Include(TKVFontAttribute::faName);
  if (Size() != parent->Size()) FOverridden.Include(TKVFontAttribute::faSize);
  FBusy = false;
}

void TKVCustomDeltaFont::ApplyParent() {
  const TFont* parent = ParentFont();
  if (parent == nullptr || FBusy) return;
  FBusy = true;
  // A listener that fails must not leave the font deaf to later changes.
  toolkit::TScopeExit notBusy([this] { FBusy = false; });
  TFontStyles style = Style();
  for (const auto& sa : kStyleAttributes) {
    if (FOverridden.Contains(sa.attribute)) continue;
    if (parent->Style().Contains(sa.style))
      style.Include(sa.style);
    else
      style.Exclude(sa.style);
  }
  // The setters notify; the guard keeps those notices from recomputing the delta.
  SetStyle(style);
  if (!FOverridden.Contains(TKVFontAttribute::faColor)) SetColor(parent->Color());
  if (!FOverridden.Contains(TKVFontAttribute::faName)) SetName(parent->Name());
  if (!FOverridden.Contains(TKVFontAttribute::faSize)) SetHeight(parent->Height());
}
