#include "richtext/RtfReader.h"

#include <algorithm>

#include "richtext/RtfKeywords.h"
#include "richtext/RtfTokenizer.h"

using Id = TRtfKeywordId;

namespace {

std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && (s.front() == ' ')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ')) s.remove_suffix(1);
  return s;
}

}  // namespace

bool TRtfReader::IsRtf(std::string_view bytes) {
  return bytes.substr(0, 5) == "{\\rtf" || bytes.substr(0, 6) == "{\\urtf";
}

void TRtfReader::Read(std::string_view bytes, TRtfListener& listener) {
  FListener = &listener;
  FTokenBegin = FTokenEnd = FBreakBegin = FBreakEnd = FHeldBreakBegin = FHeldBreakEnd = 0;
  FTables = TRtfTables();
  FState = TState();
  FStack.clear();
  FOverflow = 0;
  FSkipUnits = 0;
  FIgnorable = false;
  FParaHasContent = false;
  FFinalParaSet = false;
  FFinalPara = TRtfParaFormat();
  FNextTabKind = TRtfTabKind::Left;
  FPendingHigh = 0;
  FLastWasHexCr = false;
  FCellTabs = 0;
  FInRow = false;
  FHeldParEnd = false;
  FRun.clear();
  FCurrentFont = 0;
  FFontNameDone = true;
  FColorHasValue = false;
  FRed = FGreen = FBlue = 0;
  listener.Start(FTables);

  TRtfTokenizer tokenizer(bytes);
  for (;;) {
    TRtfToken token = tokenizer.Next();
    if (token.Kind == TRtfTokenKind::EndOfData) break;
    FTokenBegin = tokenizer.TokenStart();
    FTokenEnd = tokenizer.Position();
    listener.BeforeToken(token);

    // Fallback units after \uN: one per byte of text, escape, symbol, word
    // or \bin block; a group boundary ends the skipping.
    if (FSkipUnits > 0) {
      switch (token.Kind) {
        case TRtfTokenKind::Text: {
          const size_t n = std::min(static_cast<size_t>(FSkipUnits), token.Word.size());
          FSkipUnits -= static_cast<int>(n);
          token.Word.remove_prefix(n);
          if (token.Word.empty()) continue;
          break;
        }
        case TRtfTokenKind::HexByte:
        case TRtfTokenKind::ControlSymbol:
          --FSkipUnits;
          continue;
        case TRtfTokenKind::ControlWord:
          --FSkipUnits;
          if (token.Word == "bin" && token.HasParam && !token.Garbage) tokenizer.TakeBytes(token.Param);
          continue;
        default:
          FSkipUnits = 0;
          break;
      }
    }

    const bool wasIgnorable = FIgnorable;
    FIgnorable = false;
    if (token.Kind != TRtfTokenKind::HexByte) FLastWasHexCr = false;
    switch (token.Kind) {
      case TRtfTokenKind::GroupStart:
        GroupStart();
        break;
      case TRtfTokenKind::GroupEnd:
        GroupEnd();
        break;
      case TRtfTokenKind::ControlWord:
        FIgnorable = wasIgnorable;
        ControlWord(token, tokenizer);
        break;
      case TRtfTokenKind::ControlSymbol:
        ControlSymbol(token.Symbol);
        break;
      case TRtfTokenKind::HexByte: {
        // Escaped CR and LF end the paragraph (CR LF once), as raw ones in text would.
        if ((token.Byte == 0x0D || token.Byte == 0x0A) && FState.Dest == TDest::Normal) {
          FlushRun();
          if (!(token.Byte == 0x0A && FLastWasHexCr)) EmitParagraphEnd();
          FLastWasHexCr = token.Byte == 0x0D;
          continue;
        }
        const char byte = static_cast<char>(token.Byte);
        TextBytes(std::string_view(&byte, 1));
        break;
      }
      case TRtfTokenKind::Text:
        TextBytes(token.Word);
        break;
      case TRtfTokenKind::EndOfData:
        break;
    }
  }
  FlushRun();
  FlushPendingSurrogate();
  if (FHeldParEnd) {
    FHeldParEnd = false;
    FBreakBegin = FHeldBreakBegin;
    FBreakEnd = FHeldBreakEnd;
    FListener->ParagraphEnd(FHeldPara);
  }
  FTokenBegin = FTokenEnd = bytes.size();
  listener.Finish(FFinalParaSet ? FFinalPara : FState.Para);
  FListener = nullptr;
}

std::vector<TRtfFormatState> TRtfReader::StateStack() const {
  std::vector<TRtfFormatState> states;
  states.reserve(FStack.size() + 1);
  for (const TState& state : FStack) states.push_back({state.Chr, state.Para, state.Uc});
  states.push_back({FState.Chr, FState.Para, FState.Uc});
  return states;
}

void TRtfReader::GroupStart() {
  if (FStack.size() >= kMaxDepth) {
    ++FOverflow;
    return;
  }
  FStack.push_back(FState);
}

void TRtfReader::GroupEnd() {
  if (FOverflow > 0) {
    --FOverflow;
    return;
  }
  if (FStack.empty()) return;  // an extra '}': ignore it and go on
  if (FState.Dest == TDest::FontTable && !FFontNameDone) FFontNameDone = true;
  const TDest leaving = FState.Dest;
  const TRtfNumbering numbering = FState.Para.Numbering;
  if (FStack.size() == 1) {
    FFinalPara = FState.Para;
    FFinalParaSet = true;
  }
  FState = std::move(FStack.back());
  FStack.pop_back();
  if (leaving == TDest::Pict && FState.Dest != TDest::Pict) {
    if (FState.Dest == TDest::Normal && FPictureShown) {
      FlushRun();
      FlushPendingSurrogate();
      BeforeContent();
      FListener->Picture(FPicture, FState.Chr);
      FParaHasContent = true;
    }
    FPicture = TRtfPicture();
  }
  // \pn settings describe the enclosing paragraph, not the group.
  if (leaving == TDest::Pn) FState.Para.Numbering = numbering;
}

void TRtfReader::ControlSymbol(char symbol) {
  switch (symbol) {
    case '\\':
    case '{':
    case '}':
      TextBytes(std::string_view(&symbol, 1));
      break;
    case '~':
      if (FState.Dest == TDest::Normal) EmitUnicode(0x00A0);
      break;
    case '_':
      if (FState.Dest == TDest::Normal) EmitUnicode(0x2011);
      break;
    case '*':
      FIgnorable = true;
      break;
    default:  // \- (optional hyphen), \| and \: are not shown
      break;
  }
}

void TRtfReader::TextBytes(std::string_view bytes) {
  switch (FState.Dest) {
    case TDest::Normal:
      AppendText(bytes);
      break;
    case TDest::FontTable:
      FontTableText(bytes);
      break;
    case TDest::ColorTable:
      ColorTableText(bytes);
      break;
    case TDest::Pict:
      PictureText(bytes);
      break;
    default:
      break;
  }
}

void TRtfReader::PictureText(std::string_view bytes) {
  for (char c : bytes) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    if (v < 0) continue;  // blanks between the digits
    if (FPictureNibble < 0) {
      FPictureNibble = v;
    } else {
      FPicture.Data.push_back(static_cast<char>(FPictureNibble * 16 + v));
      FPictureNibble = -1;
    }
  }
}

void TRtfReader::AppendText(std::string_view bytes) {
  if (FState.Chr.Hidden || bytes.empty()) return;
  FlushPendingSurrogate();
  if (!FRun.empty() && !(FState.Chr == FRunFormat)) FlushRun();
  BeforeContent();
  if (FRun.empty()) {
    FRunCodePage = FTables.CodePageOf(FState.Chr.Font < 0 ? FTables.DefaultFont : FState.Chr.Font);
    FRunFormat = FState.Chr;
  }
  FRun.append(bytes);
  FParaHasContent = true;
}

void TRtfReader::FlushRun() {
  if (FRun.empty()) return;
  FListener->Text(FRun, FRunCodePage, FRunFormat);
  FRun.clear();
}

void TRtfReader::FlushPendingSurrogate() {
  if (FPendingHigh == 0) return;
  FPendingHigh = 0;
  if (FState.Dest == TDest::Normal && !FState.Chr.Hidden) {
    FlushRun();
    FListener->Unicode(0xFFFD, FState.Chr);
  }
}

void TRtfReader::EmitUnicode(char32_t codePoint) {
  if (FState.Dest != TDest::Normal || FState.Chr.Hidden) return;
  FlushRun();
  BeforeContent();
  // Characters that are structure, not text, for a text document.
  switch (codePoint) {
    case 0x0A:
    case 0x0D:
    case 0x2029:
      EmitParagraphEnd();
      return;
    case 0x2028:
      FlushPendingSurrogate();
      FBreakBegin = FTokenBegin;
      FBreakEnd = FTokenEnd;
      FListener->LineBreak(FState.Chr);
      FParaHasContent = true;
      return;
    case 0xFDD0:
    case 0xFDD1:
    case 0xFDEF:
    case 0xFFFC:
      codePoint = 0xFFFD;
      break;
    default:
      break;
  }
  if (codePoint >= 0xD800 && codePoint <= 0xDBFF) {
    FlushPendingSurrogate();
    FPendingHigh = static_cast<char16_t>(codePoint);
    return;
  }
  if (codePoint >= 0xDC00 && codePoint <= 0xDFFF) {
    if (FPendingHigh == 0) {
      codePoint = 0xFFFD;
    } else {
      codePoint = 0x10000 + ((static_cast<char32_t>(FPendingHigh) - 0xD800) << 10) + (codePoint - 0xDC00);
      FPendingHigh = 0;
    }
  } else {
    FlushPendingSurrogate();
  }
  FListener->Unicode(codePoint, FState.Chr);
  FParaHasContent = true;
}

void TRtfReader::EmitParagraphEnd() {
  FlushRun();
  FlushPendingSurrogate();
  BeforeContent();
  FBreakBegin = FTokenBegin;
  FBreakEnd = FTokenEnd;
  FListener->ParagraphEnd(FState.Para);
  FParaHasContent = false;
}

void TRtfReader::BeforeContent() {
  if (FHeldParEnd || FCellTabs > 0) FlushRun();
  if (FHeldParEnd) {
    FHeldParEnd = false;
    FBreakBegin = FHeldBreakBegin;
    FBreakEnd = FHeldBreakEnd;
    FListener->ParagraphEnd(FHeldPara);
    FParaHasContent = false;
  }
  if (FCellTabs > 0) {
    const std::string tabs(static_cast<size_t>(FCellTabs), '\t');
    FCellTabs = 0;
    FListener->Text(tabs, FTables.AnsiCodePage, FState.Chr);
    FParaHasContent = true;
  }
}

void TRtfReader::FontTableText(std::string_view bytes) {
  for (char c : bytes) {
    if (FFontNameDone) continue;
    TRtfFont& font = FTables.Fonts[FCurrentFont];
    if (c == ';') {
      font.Name = std::string(TrimSpaces(font.Name));
      FFontNameDone = true;
    } else if (font.Name.size() < 256) {
      font.Name.push_back(c);
    }
  }
}

void TRtfReader::ColorTableText(std::string_view bytes) {
  for (char c : bytes) {
    if (c != ';') continue;
    if (FTables.Colors.size() >= 4096) continue;
    if (FColorHasValue) {
      FTables.Colors.emplace_back((static_cast<uint32_t>(FRed & 255) << 16) |
                                  (static_cast<uint32_t>(FGreen & 255) << 8) |
                                  static_cast<uint32_t>(FBlue & 255));
    } else {
      FTables.Colors.emplace_back(std::nullopt);
    }
    FRed = FGreen = FBlue = 0;
    FColorHasValue = false;
  }
}

void TRtfReader::ControlWord(const TRtfToken& token, TRtfTokenizer& tokenizer) {
  const bool ignorable = FIgnorable;
  FIgnorable = false;
  const TRtfKeyword* kw = token.Garbage ? nullptr : FindRtfKeyword(token.Word);
  const int32_t param = token.HasParam ? token.Param : (kw ? kw->Default : 0);

  // Binary data is skipped wherever it stands.
  if (kw && kw->Id == Id::Bin) {
    if (token.HasParam) {
      const std::string_view data = tokenizer.TakeBytes(token.Param);
      if (FState.Dest == TDest::Pict) FPicture.Data.append(data);
    }
    return;
  }
  if (!kw) {
    if (ignorable) FState.Dest = TDest::Skip;
    return;
  }
  if (ignorable && kw->Kind != TRtfKeywordKind::Destination) {
    FState.Dest = TDest::Skip;
    return;
  }

  // The fallback count after \uN applies in every destination.
  if (kw->Id == Id::U) {
    const int32_t unit = param < 0 ? param + 65536 : param;
    EmitUnicode(unit >= 0 && unit <= 0xFFFF ? static_cast<char32_t>(unit) : 0xFFFD);
    FSkipUnits = FState.Uc;
    return;
  }
  if (kw->Id == Id::Uc) {
    FState.Uc = std::clamp(param, 0, 16);
    return;
  }

  switch (FState.Dest) {
    case TDest::Skip:
      return;
    case TDest::Upr:
      // Only the Unicode part of \upr, or the result of an \object, is shown.
      if (kw->Id == Id::Ud || kw->Id == Id::Result) FState.Dest = TDest::Normal;
      return;
    case TDest::Pict:
      switch (kw->Id) {
        case Id::PngBlip:
          FPicture.Kind = TRtfPicture::Png;
          break;
        case Id::JpegBlip:
          FPicture.Kind = TRtfPicture::Jpeg;
          break;
        case Id::OtherBlip:
          FPicture.Kind = TRtfPicture::Other;
          FPicture.Blip = std::string(token.Word);
          if (token.HasParam) FPicture.Blip += std::to_string(token.Param);
          break;
        case Id::PicW:
          FPicture.Width = param;
          break;
        case Id::PicH:
          FPicture.Height = param;
          break;
        case Id::PicWGoal:
          FPicture.WidthGoal = param;
          break;
        case Id::PicHGoal:
          FPicture.HeightGoal = param;
          break;
        case Id::PicScaleX:
          FPicture.ScaleX = param;
          break;
        case Id::PicScaleY:
          FPicture.ScaleY = param;
          break;
        default:
          if (kw->Kind == TRtfKeywordKind::Destination) FState.Dest = TDest::Skip;
          break;
      }
      return;
    case TDest::Pn:
      switch (kw->Id) {
        case Id::PnLvlBlt:
          FState.Para.Numbering = TRtfNumbering::Bullet;
          break;
        case Id::PnLvlBody:
        case Id::PnDec:
          FState.Para.Numbering = TRtfNumbering::Decimal;
          break;
        case Id::PnLvlCont:
          FState.Para.Numbering = TRtfNumbering::None;
          break;
        default:
          if (kw->Kind == TRtfKeywordKind::Destination) FState.Dest = TDest::Skip;
          break;
      }
      return;
    case TDest::FontTable:
      switch (kw->Id) {
        case Id::F:
          FCurrentFont = param;
          FTables.Fonts[param];
          FFontNameDone = false;
          break;
        case Id::Fcharset: {
          TRtfFont& font = FTables.Fonts[FCurrentFont];
          font.Charset = param;
          break;
        }
        case Id::Cpg:
          FTables.Fonts[FCurrentFont].CodePage = param > 0 ? param : 0;
          break;
        case Id::FontFamily:
          FTables.Fonts[FCurrentFont].Family = std::string(token.Word.substr(1));
          break;
        default:
          if (kw->Kind == TRtfKeywordKind::Destination) FState.Dest = TDest::Skip;
          break;
      }
      return;
    case TDest::ColorTable:
      switch (kw->Id) {
        case Id::Red:
          FRed = param;
          FColorHasValue = true;
          break;
        case Id::Green:
          FGreen = param;
          FColorHasValue = true;
          break;
        case Id::Blue:
          FBlue = param;
          FColorHasValue = true;
          break;
        default:
          if (kw->Kind == TRtfKeywordKind::Destination) FState.Dest = TDest::Skip;
          break;
      }
      return;
    case TDest::Normal:
      break;
  }

  TRtfCharFormat& chr = FState.Chr;
  TRtfParaFormat& para = FState.Para;
  const bool on = !token.HasParam || token.Param != 0;
  switch (kw->Id) {
    case Id::Par:
      if (para.InTable || FInRow) {
        FlushRun();
        FlushPendingSurrogate();
        BeforeContent();
        FHeldParEnd = true;
        FHeldPara = para;
        FHeldBreakBegin = FTokenBegin;
        FHeldBreakEnd = FTokenEnd;
      } else {
        EmitParagraphEnd();
      }
      break;
    case Id::Cell:
    case Id::NestCell:
      // The cell's last paragraph ends with the cell; an empty row adds
      // no line.
      FHeldParEnd = false;
      if (FCellTabs < 64) ++FCellTabs;
      break;
    case Id::Row:
    case Id::NestRow:
      // Tabs for empty cells at the end of the row, not one after the last.
      FHeldParEnd = false;
      if (FParaHasContent) {
        FCellTabs = std::max(0, FCellTabs - 1);
        EmitParagraphEnd();
      }
      FCellTabs = 0;
      if (kw->Id == Id::Row) FInRow = false;
      break;
    case Id::Trowd:
      FInRow = true;
      break;
    case Id::Page:
    case Id::Sect:
      if (FHeldParEnd) {
        BeforeContent();
      } else if (FParaHasContent) {
        EmitParagraphEnd();
      }
      break;
    case Id::Pard:
      para = TRtfParaFormat();
      FNextTabKind = TRtfTabKind::Left;
      break;
    case Id::Plain:
      chr = TRtfCharFormat();
      break;
    case Id::Line:
      if (!chr.Hidden) {
        FlushRun();
        FlushPendingSurrogate();
        BeforeContent();
        FBreakBegin = FTokenBegin;
        FBreakEnd = FTokenEnd;
        FListener->LineBreak(chr);
        FParaHasContent = true;
      }
      break;
    case Id::Tab:
      AppendText("\t");
      break;
    case Id::Intbl:
      para.InTable = true;
      break;
    case Id::Ql:
      para.Alignment = TRtfAlignment::Left;
      break;
    case Id::Qc:
      para.Alignment = TRtfAlignment::Center;
      break;
    case Id::Qr:
      para.Alignment = TRtfAlignment::Right;
      break;
    case Id::Qj:
      para.Alignment = TRtfAlignment::Justify;
      break;
    case Id::Tqr:
      FNextTabKind = TRtfTabKind::Right;
      break;
    case Id::Tqc:
      FNextTabKind = TRtfTabKind::Center;
      break;
    case Id::Tqdec:
      FNextTabKind = TRtfTabKind::Decimal;
      break;
    case Id::Tx:
      if (para.Tabs.size() < 64) para.Tabs.push_back({param, FNextTabKind});
      FNextTabKind = TRtfTabKind::Left;
      break;
    case Id::Tb:
      FNextTabKind = TRtfTabKind::Left;
      break;
    case Id::Li:
      para.LeftIndent = param;
      break;
    case Id::Ri:
      para.RightIndent = param;
      break;
    case Id::Fi:
      para.FirstIndent = param;
      break;
    case Id::Sb:
      para.SpaceBefore = param;
      break;
    case Id::Sa:
      para.SpaceAfter = param;
      break;
    case Id::PnLvlBlt:
      para.Numbering = TRtfNumbering::Bullet;
      break;
    case Id::PnLvlBody:
    case Id::PnDec:
      para.Numbering = TRtfNumbering::Decimal;
      break;
    case Id::PnLvlCont:
      para.Numbering = TRtfNumbering::None;
      break;
    case Id::B:
      chr.Bold = on;
      break;
    case Id::I:
      chr.Italic = on;
      break;
    case Id::Ul:
      chr.Underline = on;
      break;
    case Id::UlNone:
      chr.Underline = false;
      break;
    case Id::Strike:
      chr.Strike = on;
      break;
    case Id::V:
      chr.Hidden = on;
      break;
    case Id::Caps:
      chr.Caps = on ? 1 : 0;
      break;
    case Id::Scaps:
      chr.Caps = on ? 2 : 0;
      break;
    case Id::Super:
      chr.VertAlign = on ? 1 : 0;
      break;
    case Id::Sub:
      chr.VertAlign = on ? 2 : 0;
      break;
    case Id::NoSuperSub:
      chr.VertAlign = 0;
      break;
    case Id::Up:
      chr.VertAlign = param > 0 ? 1 : 0;
      break;
    case Id::Dn:
      chr.VertAlign = param > 0 ? 2 : 0;
      break;
    case Id::F:
      chr.Font = param;
      break;
    case Id::Fs:
      chr.SizeHalfPoints = param > 0 ? std::clamp(param, 2, 3276) : 24;
      break;
    case Id::Cf:
      chr.Color = param;
      break;
    case Id::Cb:
    case Id::Highlight:
      chr.Background = param;
      break;
    case Id::AnsiCpg:
      FlushRun();
      if (param > 0) FTables.AnsiCodePage = param;
      break;
    case Id::DocCodePage:
      FlushRun();
      FTables.AnsiCodePage = kw->Default;
      break;
    case Id::Deff:
      FlushRun();
      FTables.DefaultFont = param;
      break;
    case Id::Char:
      EmitUnicode(static_cast<char32_t>(kw->Default));
      break;
    case Id::FontTable:
      FlushRun();
      FState.Dest = TDest::FontTable;
      FFontNameDone = true;
      break;
    case Id::ColorTable:
      FState.Dest = TDest::ColorTable;
      FRed = FGreen = FBlue = 0;
      FColorHasValue = false;
      break;
    case Id::Skip:
    case Id::FieldInst:
    case Id::PnText:
      FState.Dest = TDest::Skip;
      break;
    case Id::Pn:
      FState.Dest = TDest::Pn;
      break;
    case Id::Pict:
      FState.Dest = TDest::Pict;
      FPicture = TRtfPicture();
      FPictureNibble = -1;
      FPictureShown = !chr.Hidden;
      break;
    case Id::Upr:
      FState.Dest = TDest::Upr;
      break;
    case Id::Result:
    case Id::Normal:
    case Id::ListText:
    case Id::Ud:
      break;
    default:
      break;
  }
}
