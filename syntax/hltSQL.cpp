#include "syntax/hltSQL.h"

namespace {

// The one-character symbols.
constexpr ThltCharSet kSymbols("&()*+,:;<=>?[\\]^|");

const std::vector<std::string_view> kSQLKeywords = {
    "ACTIVE",     "AFTER",       "ALL",         "ALTER",      "AND",        "ANY",      "AS",
    "ASC",        "ASCENDING",   "AT",          "AUTO",       "BASE_NAME",  "BEFORE",   "BEGIN",
    "BETWEEN",    "BY",          "CACHE",       "CAST",       "CHECK",      "COLUMN",   "COMMIT",
    "COMMITTED",  "COMPUTED",    "CONDITIONAL", "CONSTRAINT", "CONTAINING", "COUNT",    "CREATE",
    "CURRENT",    "CURSOR",      "DATABASE",    "DEBUG",      "DECLARE",    "DEFAULT",  "DELETE",
    "DESC",       "DESCENDING",  "DISTINCT",    "DO",         "DOMAIN",     "DROP",     "ELSE",
    "END",        "ENTRY_POINT", "ESCAPE",      "EXCEPTION",  "EXECUTE",    "EXISTS",   "EXIT",
    "EXTERNAL",   "EXTRACT",     "FILTER",      "FOR",        "FOREIGN",    "FROM",     "FULL",
    "FUNCTION",   "GENERATOR",   "GRANT",       "GROUP",      "HAVING",     "IF",       "IN",
    "INACTIVE",   "INDEX",       "INNER",       "INSERT",     "INTO",       "IS",       "ISOLATION",
    "JOIN",       "KEY",         "LEFT",        "LEVEL",      "LIKE",       "MERGE",    "NAMES",
    "NO",         "NOT",         "NULL",        "OF",         "ON",         "ONLY",     "OR",
    "ORDER",      "OUTER",       "PARAMETER",   "PASSWORD",   "PLAN",       "POSITION", "PRIMARY",
    "PRIVILEGES", "PROCEDURE",   "PROTECTED",   "READ",       "RETAIN",     "RETURNS",  "REVOKE",
    "RIGHT",      "ROLLBACK",    "SCHEMA",      "SELECT",     "SET",        "SHADOW",   "SHARED",
    "SNAPSHOT",   "SOME",        "SUSPEND",     "TABLE",      "THEN",       "TO",       "TRANSACTION",
    "TRIGGER",    "UNCOMMITTED", "UNION",       "UNIQUE",     "UPDATE",     "USER",     "USING",
    "VIEW",       "WAIT",        "WHEN",        "WHERE",      "WHILE",      "WITH",     "WORK"};

}  // namespace

const ThltKeywordTable& ThltSQLRTF::Keywords() {
  static const ThltKeywordTable table(kSQLKeywords, CaseInsensitiveHashValues(), false);
  return table;
}

// Colour per token kind, in the order of the kinds: Comment, Identifier, Key,
// Null, Number, Space (never scanned), String, Symbol, Unknown; comments (1)
// in italics, keywords (3) in bold.
constexpr uint8_t kSQLColors[ThltSQLRTF::tkUnknown + 1] = {1, 2, 3, 8, 4, 5, 6, 5, 7};

// White space and line ends belong to the Symbol class.
ThltSQLRTF::ThltSQLRTF()
    : ThltStandardScannerRTF({clNavy, clBlack, clBlack, clBlack, clBlack, clBlue, clBlack}, kSQLColors, 1, 3,
                             tkSymbol) {
  Keywords();
}

void ThltSQLRTF::Next() {
  FTokenPos = FRun;
  if (FRange == rsBlockComment && !IsLineEnd(At(FRun)))
    UntilCloserProc(tkComment, "*/", rsNormal);
  else
    Scan();
  EnsureProgress();
}

void ThltSQLRTF::NumberProc() {
  FTokenID = tkNumber;
  for (;;) {
    const char c = At(FRun);
    if (c == '.') {
      if (At(FRun + 1) == '.') break;
    } else if (c == '-') {
      if (At(FRun + 1) != 'e' && At(FRun + 1) != 'E') break;
    } else if (!(IsHexDigit(c) || c == 'x' || c == 'X' || c == '_')) {
      break;
    }
    ++FRun;
  }
}

void ThltSQLRTF::Scan() {
  if (LineEndOrNullProc()) return;
  const char c = At(FRun);
  const char next = At(FRun + 1);
  switch (c) {
    case '-':
      if (next == '-') {
        LineCommentProc(tkComment);
      } else {
        Take(tkSymbol);
      }
      break;
    case '/':
      if (next == '*') {
        // The search for "*/" starts at the '*' of "/*", so "/*/" is a whole comment.
        FRange = rsBlockComment;
        ++FRun;
        UntilCloserProc(tkComment, "*/", rsNormal);
      } else if (next == '/') {
        LineCommentProc(tkComment);
      } else {
        Take(tkSymbol);
      }
      break;
    case '#':
      LineCommentProc(tkComment);
      break;
    case '\'':
      FTokenID = tkString;
      DelimitedProc(c);
      break;
    case '"':  // with \" inside, and three quotes opening it as one would
      QuotedStringProc(c, tkString, '\\');
      break;
    case '.':
      if (IsDigit(next)) {
        NumberProc();
      } else {
        Take(tkSymbol);
      }
      break;
    default:
      if (IsIdentStart(c)) {
        FTokenID = IdentProc(Keywords()) >= 0 ? tkKey : tkIdentifier;
      } else if (IsDigit(c)) {
        // A digit followed by another digit starts a number; a single digit is a symbol.
        if (IsDigit(next)) {
          NumberProc();
        } else {
          Take(tkSymbol);
        }
      } else if (kSymbols.Has(c)) {
        Take(tkSymbol);
      } else {
        SpaceOrUnknownProc();
      }
  }
}
