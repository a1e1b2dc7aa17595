#pragma once
// C and C++ source to coloured RTF: comments italic, keywords bold, numbers
// told apart (decimal, hexadecimal, octal, floating point, malformed), and
// preprocessor directives with their comment and backslash continuations.

#include "syntax/hltScanner.h"

class ThltCppRTF : public ThltStandardScannerRTF {
 public:
  enum TCppTokenKind : uint8_t { tkAsm = tkUnknown + 1, tkDirective, tkChar, tkFloat, tkHex, tkOctal };
  enum TRangeState : uint8_t {
    rsNormal,
    rsBlockComment,
    rsDirectiveComment,
    rsDirectiveContinued,
    rsStringContinued
  };

  ThltCppRTF();
  std::string ClassName() const override { return "ThltCppRTF"; }
  void Next() override;

  /// The keyword list (94 words, case-sensitive) and its hash table (207 entries).
  static const ThltKeywordTable& Keywords();

 private:
  void Scan();
  void CommentBody();
  void DirectiveBody();
  void StringBody();
  void CharProc();
  void NumberProc();
  void SymbolProc(char c);
  bool AtLineStart(size_t pos) const;
};
