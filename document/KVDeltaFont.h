#pragma once
// A font defined relative to a parent font: the attributes the user changed
// are remembered as overridden, every other attribute follows the parent.
// The document's statuses use it so that a status keeps its own colour or
// style while following the document font's name and size.

#include <cstdint>
#include <functional>

#include "toolkit/Graphics.h"

/// Attributes a delta font can override.
enum class TKVFontAttribute : uint8_t {
  faBold = 1,
  faItalic = 2,
  faUnderline = 4,
  faStrikeOut = 8,
  faColor = 16,
  faName = 32,
  faSize = 64,
};

/// A small set of overridden attributes.
class TKVFontAttributes {
 public:
  constexpr bool Contains(TKVFontAttribute a) const { return (FBits & static_cast<uint8_t>(a)) != 0; }
  constexpr void Include(TKVFontAttribute a) { FBits |= static_cast<uint8_t>(a); }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr uint8_t Bits() const { return FBits; }
  friend constexpr bool operator==(TKVFontAttributes, TKVFontAttributes) = default;

 private:
  uint8_t FBits = 0;
};

/// A font that records which of its attributes differ from its parent's
/// (ComputeDelta, after every change) and copies the others from the parent
/// on request (ApplyParent). A guard keeps the two from running inside each other.
class TKVCustomDeltaFont : public TFont {
 public:
  TKVCustomDeltaFont() = default;
  std::string ClassName() const override { return "TKVCustomDeltaFont"; }

  /// Yields the parent font, or nullptr when there is none.
  std::function<const TFont*()> OnGetParentFont;

  const TKVFontAttributes& Overridden() const { return FOverridden; }

  /// Rebuilds the overridden set from the attributes that now differ from the parent.
  virtual void ComputeDelta();
  /// Copies every attribute that is not overridden from the parent.
  virtual void ApplyParent();

 protected:
  void Changed() override;

 private:
  const TFont* ParentFont() const { return OnGetParentFont ? OnGetParentFont() : nullptr; }

  TKVFontAttributes FOverridden;
  bool FBusy = false;
};
