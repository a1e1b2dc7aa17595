#pragma once
// The table of control words the reader acts on: each word's kind and
// meaning. Words not in the table are ignored.

#include <cstdint>
#include <string_view>

enum class TRtfKeywordKind : uint8_t {
  Flag,         // acts without a parameter (\par, \pard)
  Toggle,       // on without a parameter or with a non-zero one (\b, \b0)
  Value,        // needs its parameter (\fs24); Default when absent
  Destination,  // starts a destination for the rest of the group
  Character,    // stands for one character (Unicode in Default)
};

enum class TRtfKeywordId : uint8_t {
  // Flags.
  Par,
  Pard,
  Plain,
  Line,
  Tab,
  Page,
  Sect,
  Cell,
  NestCell,
  Row,
  NestRow,
  Intbl,
  Trowd,
  Ql,
  Qc,
  Qr,
  Qj,
  Tqr,
  Tqc,
  Tqdec,
  UlNone,
  NoSuperSub,
  PnLvlBlt,
  PnLvlBody,
  PnLvlCont,
  PnDec,
  // Toggles.
  B,
  I,
  Ul,
  Strike,
  V,
  Caps,
  Scaps,
  Super,
  Sub,
  // Values.
  F,
  Fs,
  Cf,
  Cb,
  Highlight,
  Li,
  Ri,
  Fi,
  Tx,
  Tb,
  Sb,
  Sa,
  U,
  Uc,
  Bin,
  AnsiCpg,
  Deff,
  Fcharset,
  Cpg,
  Red,
  Green,
  Blue,
  Up,
  Dn,
  FontFamily,
  DocCodePage,  // \mac, \pc, \pca: the code page in Default (\ansi is the default)
  // Destinations.
  FontTable,
  ColorTable,
  Skip,
  Normal,
  FieldInst,
  Pn,
  PnText,
  ListText,
  Upr,
  Ud,
  Result,
  Pict,
  // Picture properties.
  PngBlip,
  JpegBlip,
  OtherBlip,
  PicWGoal,
  PicHGoal,
  PicScaleX,
  PicScaleY,
  PicW,
  PicH,
  // Characters.
  Char,
};

struct TRtfKeyword {
  std::string_view Word;
  TRtfKeywordKind Kind;
  TRtfKeywordId Id;
  int32_t Default;  // parameter when absent; the code point of a Character
};

/// The entry for Word, or nullptr when the reader ignores the word.
const TRtfKeyword* FindRtfKeyword(std::string_view word);

/// Words that show text or build tables: a character, a break, a tab, a
/// cell or row (and a row's start), a \u, a picture or binary data.
bool IsRtfContentWord(const TRtfKeyword& kw);
