#include "syntax/hltCPlusPlus.h"

namespace {

// The operator characters that start a symbol wherever they stand ('/' and
// '.' have rules of their own); SymbolProc takes the longest operator.
constexpr ThltCharSet kSymbols("&|+-<>=:!%*^(),;?[]{}~");

const std::vector<std::string_view> kCppKeywords = {
    "__asm",    "__automated", "__cdecl",    "__classid",  "__closure",    "__declspec",  "__dispid",
    "__except", "__export",    "__fastcall", "__finally",  "__import",     "__int16",     "__int32",
    "__int64",  "__int8",      "__pascal",   "__property", "__published",  "__rtti",      "__stdcall",
    "__thread", "__try",       "_asm",       "_cdecl",     "_export",      "_fastcall",   "_import",
    "_pascal",  "_stdcall",    "asm",        "auto",       "bool",         "break",       "case",
    "catch",    "cdecl",       "char",       "class",      "const",        "const_cast",  "continue",
    "default",  "delete",      "do",         "double",     "dynamic_cast", "else",        "enum",
    "explicit", "extern",      "false",      "float",      "for",          "friend",      "goto",
    "if",       "inline",      "int",        "long",       "mutable",      "namespace",   "new",
    "operator", "pascal",      "private",    "protected",  "public",       "register",    "reinterpret_cast",
    "return",   "short",       "signed",     "sizeof",     "static",       "static_cast", "struct",
    "switch",   "template",    "this",       "throw",      "true",         "try",         "typedef",
    "typeid",   "typename",    "union",      "unsigned",   "using",        "virtual",     "void",
    "volatile", "wchar_t",     "while"};

// Upper-case letters count 1..26, lower-case ones 2..27; '_' and digits nothing.
const ThltHashValues& CppHashValues() {
  static const ThltHashValues values = [] {
    ThltHashValues v{};
    for (int c = 'A'; c <= 'Z'; ++c) v[c] = static_cast<uint8_t>(c - 'A' + 1);
    for (int c = 'a'; c <= 'z'; ++c) v[c] = static_cast<uint8_t>(c - 'a' + 2);
    return v;
  }();
  return values;
}

bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

}  // namespace

const ThltKeywordTable& ThltCppRTF::Keywords() {
  static const ThltKeywordTable table(kCppKeywords, CppHashValues(), true);
  return table;
}

// Colour per token kind, in the order of the kinds: Comment, Identifier, Key,
// Null, Number, Space, String, Symbol, Unknown, Asm, Directive, Char, Float,
// Hex, Octal; comments (2) in italics, keywords (5) in bold.
constexpr uint8_t kCppColors[ThltCppRTF::tkOctal + 1] = {2, 4, 5, 15, 6, 10, 11, 13, 14, 1, 3, 12, 7, 8, 9};

ThltCppRTF::ThltCppRTF()
    : ThltStandardScannerRTF({clBlack, clGreen, clBlack, clBlack, clBlue, clBlue, clBlack, clBlack, clBlack,
                              clBlack, clBlack, clBlack, clBlack, clBlack, clBlack},
                             kCppColors, 2, 5) {
  Keywords();
}

void ThltCppRTF::Next() {
  const uint8_t previous = FTokenID;
  FTokenPos = FRun;
  const char c = At(FRun);
  switch (FRange) {
    case rsBlockComment:
    case rsDirectiveComment:
      if (IsLineEnd(c)) {
        Scan();
      } else {
        // A directive stops before the "/*" of its trailing comment.
        if (previous == tkDirective && c == '/' && At(FRun + 1) == '*') FRun += 2;
        CommentBody();
      }
      break;
    case rsDirectiveContinued:
      if (IsLineEnd(c)) {
        Scan();  // the state waits for the next line
      } else {
        FRange = rsNormal;
        FTokenID = tkDirective;
        DirectiveBody();
        if (FRun == FTokenPos) {  // the continued line starts with a comment
          if (FRange == rsDirectiveComment) {
            FRun += 2;
            CommentBody();
          } else {
            Scan();
          }
        }
      }
      break;
    case rsStringContinued:
      if (IsLineEnd(c)) {
        Scan();
      } else {
        FRange = rsNormal;
        FTokenID = tkString;
        StringBody();
      }
      break;
    default:
      FRange = rsNormal;
      Scan();
  }
  EnsureProgress();
}

// Up to and including "*/", or to before a line end with the state kept. A
// comment inside a directive hands the rest of its line back to the directive.
void ThltCppRTF::CommentBody() {
  FTokenID = tkComment;
  if (SkipPast('*', '/'))
    FRange = (FRange == rsDirectiveComment && !IsLineEnd(At(FRun))) ? rsDirectiveContinued : rsNormal;
}

// To before the line end, a line comment or a block comment (state
// DirectiveComment); a backslash ending the line continues the directive.
void ThltCppRTF::DirectiveBody() {
  for (;;) {
    const char c = At(FRun);
    if (IsLineEnd(c)) return;
    if (c == '/' && At(FRun + 1) == '/') return;
    if (c == '/' && At(FRun + 1) == '*') {
      FRange = rsDirectiveComment;
      return;
    }
    ++FRun;
    if (c == '\\' && IsLineEnd(At(FRun))) {
      FRange = rsDirectiveContinued;
      return;
    }
  }
}

// To the closing quote (included) or before a line end; a backslash escapes a
// quote or a backslash, and a backslash ending the line continues the string.
void ThltCppRTF::StringBody() {
  for (;;) {
    const char c = At(FRun);
    if (IsLineEnd(c)) return;
    ++FRun;
    if (c == '"') return;
    if (c == '\\') {
      const char next = At(FRun);
      if (next == '"' || next == '\\') {
        ++FRun;
      } else if (IsLineEnd(next)) {
        FRange = rsStringContinued;
        return;
      }
    }
  }
}

void ThltCppRTF::CharProc() {
  FTokenID = tkChar;
  ++FRun;
  for (;;) {
    const char c = At(FRun);
    if (IsLineEnd(c)) return;
    ++FRun;
    if (c == '\'') return;
    if (c == '\\' && !IsLineEnd(At(FRun))) ++FRun;
  }
}

// A directive begins where '#' is the first character of its line that is not
// a blank or a control character.
bool ThltCppRTF::AtLineStart(size_t pos) const {
  while (pos > 0) {
    const char c = At(pos - 1);
    if (c == '\r' || c == '\n') return true;
    if (static_cast<unsigned char>(c) > 32) return false;
    --pos;
  }
  return true;
}

void ThltCppRTF::NumberProc() {
  bool hex = false;
  bool octal = false;
  bool isFloat = false;
  bool bad = false;
  bool exponent = false;
  bool floatSuffix = false;
  int unsignedSuffixes = 0;
  int longSuffixes = 0;
  if (At(FRun) == '0' && (At(FRun + 1) == 'x' || At(FRun + 1) == 'X') && IsHexDigit(At(FRun + 2))) {
    hex = true;
    FRun += 2;
  } else if (At(FRun) == '0' && IsOctalDigit(At(FRun + 1))) {
    octal = true;
  }
  const auto suffixSeen = [&] { return floatSuffix || unsignedSuffixes > 0 || longSuffixes > 0; };
  for (;;) {
    const char c = At(FRun);
    if (IsDigit(c) || (hex && IsHexDigit(c))) {
      if (suffixSeen() || (octal && !IsOctalDigit(c))) bad = true;
      ++FRun;
    } else if (c == '.') {
      if (At(FRun + 1) == '.') break;  // a range: the number ends here
      if (hex || exponent || suffixSeen()) bad = true;
      isFloat = true;
      ++FRun;
    } else if ((c == 'e' || c == 'E') && FRun > FTokenPos && IsDigit(At(FRun - 1)) &&
               (At(FRun + 1) == '+' || At(FRun + 1) == '-' || IsDigit(At(FRun + 1)))) {
      if (exponent || suffixSeen()) bad = true;
      exponent = true;
      isFloat = true;
      ++FRun;
      if (At(FRun) == '+' || At(FRun) == '-') {
        ++FRun;
        const char after = At(FRun);
        if (!(after == '+' || after == '-' || IsDigit(after))) bad = true;
      }
    } else if ((c == 'f' || c == 'F') && !hex) {
      if (floatSuffix) bad = true;
      floatSuffix = true;
      isFloat = true;
      ++FRun;
    } else if (c == 'u' || c == 'U') {
      if (++unsignedSuffixes > 1) bad = true;
      ++FRun;
    } else if (c == 'l' || c == 'L') {
      if (++longSuffixes > 1) bad = true;
      ++FRun;
    } else if (c == 'x' || c == 'X') {
      bad = true;
      ++FRun;
    } else {
      // A letter or '_' glued to the number makes it malformed; the word
      // itself is left for the next token.
      if (IsIdentStart(c)) bad = true;
      break;
    }
  }
  if (bad)
    FTokenID = tkUnknown;
  else if (hex)
    FTokenID = tkHex;
  else if (isFloat)
    FTokenID = tkFloat;
  else if (octal)
    FTokenID = tkOctal;
  else
    FTokenID = tkNumber;
}

// The longest operator: doubled forms, forms with '=', "<<=", ">>=", "->" and "...".
void ThltCppRTF::SymbolProc(char c) {
  FTokenID = tkSymbol;
  const char next = At(FRun + 1);
  size_t length = 1;
  switch (c) {
    case '&':
    case '|':
    case '+':
      if (next == c || next == '=') length = 2;
      break;
    case '-':
      if (next == '-' || next == '=' || next == '>') length = 2;
      break;
    case '<':
    case '>':
      if (next == c)
        length = At(FRun + 2) == '=' ? 3 : 2;
      else if (next == '=')
        length = 2;
      break;
    case '=':
      if (next == '=') length = 2;
      break;
    case ':':
      if (next == ':') length = 2;
      break;
    case '!':
    case '%':
    case '*':
    case '/':
    case '^':
      if (next == '=') length = 2;
      break;
    case '.':
      if (next == '.' && At(FRun + 2) == '.') length = 3;
      break;
    default:
      break;
  }
  FRun += length;
}

void ThltCppRTF::Scan() {
  if (LineEndOrNullProc()) return;
  const char c = At(FRun);
  const char next = At(FRun + 1);
  switch (c) {
    case '/':
      if (next == '/') {
        LineCommentProc(tkComment);
      } else if (next == '*') {
        FRange = rsBlockComment;
        FRun += 2;
        CommentBody();
      } else {
        SymbolProc(c);
      }
      break;
    case '#':
      if (AtLineStart(FRun)) {
        Take(tkDirective);
        DirectiveBody();
      } else {
        Take(tkUnknown);
      }
      break;
    case '"':
      Take(tkString);
      StringBody();
      break;
    case '\'':
      CharProc();
      break;
    case '.':
      if (IsDigit(next))
        NumberProc();
      else
        SymbolProc(c);
      break;
    default:
      if (IsIdentStart(c)) {
        FTokenID = IdentProc(Keywords()) >= 0 ? tkKey : tkIdentifier;
      } else if (IsDigit(c)) {
        NumberProc();
      } else if (kSymbols.Has(c)) {
        SymbolProc(c);
      } else {  // white space; unknown: '@', '$', '`', '\' and the characters from 127 up
        SpaceOrUnknownProc();
      }
  }
}
