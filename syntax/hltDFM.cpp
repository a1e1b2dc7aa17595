#include "syntax/hltDFM.h"

#include "toolkit/SysUtils.h"

ThltDFMRTF::ThltDFMRTF() : ThltScannerRTF(tkNull, tkSpace, tkUnknown) {
  FRange = rsNormal;
  SetColors({clBlue, clBlack, clBlack, clBlack, clNavy, clBlue, clBlack, clBlack});
}

void ThltDFMRTF::SetDefaultColors() {
  SetColors({clBlue, clBlack, clBlack, clBlack, clNavy, clBlue, clBlack});
}

void ThltDFMRTF::Next() {
  FTokenPos = FRun;
  if (FRange == rsBraceComment) {
    if (At(FRun) == '\0') {
      NullProc();
    } else {
      // A continuation takes its first character whatever it is and stops
      // before the next line end, or after the closing brace.
      FTokenID = tkComment;
      if (IsLineEnd(At(FRun))) ++FRun;
      if (SkipPast('}')) FRange = rsNormal;
    }
  } else {
    Scan();
  }
  EnsureProgress();
}

// The only keywords are "object" and "end", in any letter case, standing alone.
void ThltDFMRTF::IdentProc() {
  const size_t start = FRun;
  while (IsIdentChar(At(FRun))) ++FRun;
  const std::string_view word(FLine + start, FRun - start);
  FTokenID = (SameText(word, "object") || SameText(word, "end")) ? tkKey : tkIdentifier;
}

// Digits, 'e' and 'E'; a following '.' is taken and ends the number unless a second '.' follows.
void ThltDFMRTF::NumberProc() {
  FTokenID = tkNumber;
  while (IsDigit(At(FRun)) || At(FRun) == 'e' || At(FRun) == 'E') ++FRun;
  if (At(FRun) == '.' && At(FRun + 1) != '.') ++FRun;
}

void ThltDFMRTF::Scan() {
  const char c = At(FRun);
  switch (c) {
    case '\0':
      NullProc();
      break;
    case '\r':
    case '\n':
      LineEndProc();
      break;
    case '{':
      FTokenID = tkComment;
      FRange = SkipPast('}') ? rsNormal : rsBraceComment;
      break;
    case '}':
      FTokenID = tkIdentifier;
      FRange = rsNormal;
      ++FRun;
      break;
    case '\'':
      PascalStringProc(tkString);
      break;
    case '#':
      CharCodeProc(tkString);
      break;
    case '$':
      HexNumberProc(tkNumber);
      break;
    case '(':
    case ')':
    case ',':
    case '.':
    case '/':
    case '<':
    case '=':
    case '>':
    case '[':
    case ']':
      FTokenID = tkSymbol;
      ++FRun;
      break;
    default:
      if (IsIdentStart(c)) {
        IdentProc();
      } else if (IsDigit(c)) {
        NumberProc();
      } else {
        SpaceOrUnknownProc();
      }
  }
}

int ThltDFMRTF::GetTokenKind() {
  // Colour per token kind, in the order of TTokenKind: Comment, Identifier,
  // Key, Null, Number, Space, String, Symbol, Unknown.
  static constexpr uint8_t kColor[tkUnknown + 1] = {1, 2, 3, 8, 4, 5, 6, 7, 8};
  return kColor[FTokenID];
}

std::string ThltDFMRTF::FormatToken(int kind, const std::string& token) {
  return FormatCommentAndKey(kind, token, 1, 3);
}
