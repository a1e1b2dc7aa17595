#include "syntax/hltVB.h"

namespace {

// The one-character symbols.
constexpr ThltCharSet kSymbols("&()*+,-./:;=^{}");

const std::vector<std::string_view> kVBKeywords = {
    "abs",       "and",       "appactivate", "array",     "as",       "asc",          "atn",
    "attribute", "base",      "beep",        "begin",     "boolean",  "byte",         "call",
    "case",      "cbool",     "cbyte",       "ccur",      "cdate",    "cdbl",         "chdir",
    "chdrive",   "chr",       "cint",        "circle",    "class",    "clear",        "clng",
    "close",     "command",   "compare",     "const",     "cos",      "createobject", "csng",
    "cstr",      "curdir",    "currency",    "cvar",      "cverr",    "date",         "dateadd",
    "datediff",  "datepart",  "dateserial",  "datevalue", "ddb",      "deftype",      "dim",
    "dir",       "do",        "doevents",    "double",    "each",     "else",         "elseif",
    "empty",     "end",       "environ",     "eof",       "eqv",      "erase",        "err",
    "error",     "exit",      "exp",         "explicit",  "fileattr", "filecopy",     "filedatetime",
    "filelen",   "fix",       "for",         "form",      "format",   "freefile",     "function",
    "fv",        "get",       "getattr",     "getobject", "gosub",    "goto",         "hex",
    "hour",      "if",        "iif",         "imp",       "input",    "instr",        "int",
    "integer",   "ipmt",      "irr",         "is",        "isarray",  "isdate",       "isempty",
    "iserror",   "ismissing", "isnull",      "isnumeric", "isobject", "kill",         "lbound",
    "lcase",     "left",      "len",         "let",       "line",     "loc",          "lock",
    "lof",       "log",       "long",        "loop",      "lset",     "ltrim",        "me",
    "mid",       "minute",    "mirr",        "mkdir",     "mod",      "module",       "month",
    "msgbox",    "name",      "new",         "next",      "not",      "nothing",      "now",
    "nper",      "npv",       "object",      "oct",       "on",       "open",         "option",
    "or",        "pmt",       "ppmt",        "print",     "private",  "property",     "pset",
    "public",    "put",       "pv",          "qbcolor",   "raise",    "randomize",    "rate",
    "redim",     "rem",       "reset",       "resume",    "return",   "rgb",          "right",
    "rmdir",     "rnd",       "rset",        "rtrim",     "second",   "seek",         "select",
    "sendkeys",  "set",       "setattr",     "sgn",       "shell",    "sin",          "single",
    "sln",       "space",     "spc",         "sqr",       "static",   "stop",         "str",
    "strcomp",   "strconv",   "string",      "sub",       "switch",   "syd",          "system",
    "tab",       "tan",       "then",        "time",      "timer",    "timeserial",   "timevalue",
    "to",        "trim",      "typename",    "ubound",    "ucase",    "unlock",       "until",
    "val",       "variant",   "vartype",     "version",   "weekday",  "wend",         "while",
    "width",     "with",      "write",       "xor"};

}  // namespace

ThltBasicScannerRTF::ThltBasicScannerRTF(const ThltKeywordTable& keywords, uint8_t otherCharacterID)
    : ThltStandardScannerRTF({clGreen, clBlack, clNavy, clBlue, clBlack, clBlack, clBlack, clBlack}),
      FKeywords(keywords),
      FOtherCharacterID(otherCharacterID) {}

void ThltBasicScannerRTF::Next() {
  FTokenPos = FRun;
  if (LineEndOrNullProc()) return;  // these take a character, all but the end of the text
  const char c = At(FRun);
  const char next = At(FRun + 1);
  switch (c) {
    case '\'':  // "Rem" is an ordinary keyword; only the apostrophe starts a comment
      LineCommentProc(tkComment);
      break;
    case '"':
      QuotedStringProc('"', tkString);
      break;
    case '#':  // a date literal
      FTokenID = tkString;
      DelimitedProc('#');
      break;
    case '<':
      Take(tkSymbol, (next == '=' || next == '>') ? 2 : 1);
      break;
    case '>':
      Take(tkSymbol, next == '=' ? 2 : 1);
      break;
    default:
      if (IsIdentStart(c)) {
        FTokenID = IdentProc(FKeywords) >= 0 ? tkKey : tkIdentifier;
      } else if (IsDigit(c)) {
        DecimalNumberProc(tkNumber, false);
      } else if (kSymbols.Has(c)) {
        Take(tkSymbol);
      } else {
        SpaceOrUnknownProc(FOtherCharacterID);
      }
  }
  EnsureProgress();
}

const ThltKeywordTable& ThltVBRTF::Keywords() {
  static const ThltKeywordTable table(kVBKeywords, CaseInsensitiveHashValues(), false);
  return table;
}

ThltVBRTF::ThltVBRTF() : ThltBasicScannerRTF(Keywords(), tkUnknown) {}
