#include "syntax/hltPas.h"

namespace {

// The one-character symbols.
constexpr ThltCharSet kSymbols("!\"%&)*+,-=?[\\]^`}~");

enum PasKeyword {
  kwAsm = 5,
  kwEnd = 23,
  kwIndex = 39,
  kwNodefault = 51,
  kwProperty = 63,
  kwRead = 68,
  kwReadonly = 69,
  kwStored = 79,
  kwWrite = 94,
  kwWriteonly = 95,
};

const std::vector<std::string_view> kPascalKeywords = {"Absolute",     "Abstract",
                                                       "And",          "Array",
                                                       "As",           "Asm",
                                                       "Assembler",    "Automated",
                                                       "Begin",        "Case",
                                                       "Cdecl",        "Class",
                                                       "Const",        "Constructor",
                                                       "Default",      "Destructor",
                                                       "Dispid",       "Dispinterface",
                                                       "Div",          "Do",
                                                       "Downto",       "Dynamic",
                                                       "Else",         "End",
                                                       "Except",       "Export",
                                                       "Exports",      "External",
                                                       "Far",          "File",
                                                       "Finalization", "Finally",
                                                       "For",          "Forward",
                                                       "Function",     "Goto",
                                                       "If",           "Implementation",
                                                       "In",           "Index",
                                                       "Inherited",    "Initialization",
                                                       "Inline",       "Interface",
                                                       "Is",           "Label",
                                                       "Library",      "Message",
                                                       "Mod",          "Near",
                                                       "Nil",          "Nodefault",
                                                       "Not",          "Object",
                                                       "Of",           "Or",
                                                       "Out",          "Override",
                                                       "Packed",       "Pascal",
                                                       "Private",      "Procedure",
                                                       "Program",      "Property",
                                                       "Protected",    "Public",
                                                       "Published",    "Raise",
                                                       "Read",         "Readonly",
                                                       "Record",       "Register",
                                                       "Repeat",       "Resourcestring",
                                                       "Safecall",     "Set",
                                                       "Shl",          "Shr",
                                                       "Stdcall",      "Stored",
                                                       "String",       "Stringresource",
                                                       "Then",         "Threadvar",
                                                       "To",           "Try",
                                                       "Type",         "Unit",
                                                       "Until",        "Uses",
                                                       "Var",          "Virtual",
                                                       "While",        "With",
                                                       "Write",        "Writeonly",
                                                       "Xor"};

}  // namespace

const ThltKeywordTable& ThltPasRTF::Keywords() {
  static const ThltKeywordTable table(kPascalKeywords, CaseInsensitiveHashValues(), false);
  return table;
}

// Colour per token kind, in the order of the kinds: Comment, Identifier, Key,
// Null, Number, Space, String, Symbol, Unknown, Asm; comments (1) in italics,
// keywords (3) in bold.
constexpr uint8_t kPasColors[ThltPasRTF::tkAsm + 1] = {1, 2, 3, 9, 4, 5, 6, 7, 8, 9};

ThltPasRTF::ThltPasRTF()
    : ThltStandardScannerRTF({clBlue, clBlack, clBlack, clBlack, clNavy, clBlack, clBlack, clGreen},
                             kPasColors, 1, 3) {
  Keywords();
}

void ThltPasRTF::Next() {
  FAsmStart = false;
  FTokenPos = FRun;
  switch (FRange) {
    case rsAnsiComment:
    case rsAnsiCommentInAsm:
      if (IsLineEnd(At(FRun)))
        Scan();
      else
        AnsiCommentProc();
      break;
    case rsBraceComment:
    case rsBraceCommentInAsm:
      if (IsLineEnd(At(FRun)))
        Scan();
      else
        BraceCommentProc();
      break;
    default:
      Scan();
  }
  EnsureProgress();
}

// Up to and including the closing '}', or to before a line end with the state kept.
void ThltPasRTF::BraceCommentProc() {
  UntilCloserProc(tkComment, "}", FRange == rsBraceCommentInAsm ? rsAsm : rsNormal);
}

// Up to and including "*)", or to before a line end with the state kept.
void ThltPasRTF::AnsiCommentProc() {
  UntilCloserProc(tkComment, "*)", FRange == rsAnsiCommentInAsm ? rsAsm : rsNormal);
}

void ThltPasRTF::IdentProc() {
  const int keyword = ThltScannerRTF::IdentProc(Keywords());
  if (keyword < 0) {
    FTokenID = tkIdentifier;
    return;
  }
  FTokenID = tkKey;
  switch (keyword) {
    case kwAsm:
      FRange = rsAsm;
      FAsmStart = true;
      break;
    case kwEnd:
      FRange = rsNormal;
      break;
    case kwProperty:
      FRange = rsProperty;
      break;
    case kwRead:
    case kwWrite:
    case kwIndex:
    case kwStored:
    case kwReadonly:
    case kwWriteonly:
    case kwNodefault:
      if (FRange != rsProperty) FTokenID = tkIdentifier;
      break;
    default:
      break;
  }
}

void ThltPasRTF::Scan() {
  if (LineEndOrNullProc()) return;
  const char c = At(FRun);
  const char next = At(FRun + 1);
  switch (c) {
    case '$':
      HexNumberProc(tkNumber);
      break;
    case '#':
      CharCodeProc(tkString);
      break;
    case '\'':
      PascalStringProc(tkString);
      break;
    case '{':
      FRange = FRange == rsAsm ? rsBraceCommentInAsm : rsBraceComment;
      BraceCommentProc();
      break;
    case '(':
      if (next == '*') {
        FRange = FRange == rsAsm ? rsAnsiCommentInAsm : rsAnsiComment;
        Take(tkComment, 2);
        if (!IsLineEnd(At(FRun))) AnsiCommentProc();
      } else {
        Take(tkSymbol, next == '.' ? 2 : 1);
      }
      break;
    case '/':
      if (next == '/')
        LineCommentProc(tkComment);
      else
        Take(tkSymbol);
      break;
    case ':':
    case '>':
      Take(tkSymbol, next == '=' ? 2 : 1);
      break;
    case '<':
      Take(tkSymbol, (next == '=' || next == '>') ? 2 : 1);
      break;
    case '.':
      Take(tkSymbol, (next == ')' || next == '.') ? 2 : 1);
      break;
    case '@':
      Take(tkSymbol, next == '@' ? 2 : 1);
      break;
    case ';':
      Take(tkSymbol);
      if (FRange == rsProperty) FRange = rsNormal;
      break;
    default:
      if (IsIdentStart(c)) {
        IdentProc();
      } else if (IsDigit(c)) {
        DecimalNumberProc(tkNumber);
      } else if (kSymbols.Has(c)) {
        Take(tkSymbol);
      } else {  // white space; unknown: the vertical bar and every character from 127 up
        SpaceOrUnknownProc();
      }
  }
}

int ThltPasRTF::GetTokenKind() {
  if (FRange == rsAsm && !FAsmStart && FTokenID != tkComment && FTokenID != tkNull && FTokenID != tkSpace)
    return 9;
  return ThltStandardScannerRTF::GetTokenKind();
}
