#include "syntax/hltDFM.h"

#include "toolkit/SysUtils.h"

namespace {

// The one-character symbols.
constexpr ThltCharSet kSymbols("(),./<=>[]");

}  // namespace

ThltDFMRTF::ThltDFMRTF()
    : ThltStandardScannerRTF({clBlue, clBlack, clBlack, clBlack, clNavy, clBlue, clBlack, clBlack},
                             kStandardColors, 1, 3) {}

void ThltDFMRTF::SetDefaultColors() {
  SetColors({clBlue, clBlack, clBlack, clBlack, clNavy, clBlue, clBlack});
}

void ThltDFMRTF::Next() {
  FTokenPos = FRun;
  if (FRange == rsBraceComment)
    ContinuedCommentProc(tkComment, "}", rsNormal);
  else
    Scan();
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
  if (LineEndOrNullProc()) return;
  const char c = At(FRun);
  switch (c) {
    case '{':
      FRange = rsBraceComment;
      UntilCloserProc(tkComment, "}", rsNormal);
      break;
    case '}':
      Take(tkIdentifier);
      FRange = rsNormal;
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
    default:
      if (IsIdentStart(c)) {
        IdentProc();
      } else if (IsDigit(c)) {
        NumberProc();
      } else if (kSymbols.Has(c)) {
        Take(tkSymbol);
      } else {
        SpaceOrUnknownProc();
      }
  }
}
