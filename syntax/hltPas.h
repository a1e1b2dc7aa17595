#pragma once
// Pascal source to coloured RTF: comments italic, keywords bold, the text of
// asm blocks in a colour of its own, and the property-only keywords (read,
// write, ...) recognised only inside a property declaration.

#include "syntax/hltScanner.h"

class ThltPasRTF : public ThltStandardScannerRTF {
 public:
  enum TPasTokenKind : uint8_t { tkAsm = tkUnknown + 1 };
  enum TRangeState : uint8_t {
    rsNormal,
    rsAnsiComment,
    rsAnsiCommentInAsm,
    rsAsm,
    rsBraceComment,
    rsBraceCommentInAsm,
    rsProperty
  };

  ThltPasRTF();
  std::string ClassName() const override { return "ThltPasRTF"; }
  void Next() override;
  int GetTokenKind() override;

  /// The keyword list and its hash table (192 entries).
  static const ThltKeywordTable& Keywords();

 private:
  void Scan();
  void BraceCommentProc();
  void AnsiCommentProc();
  void IdentProc();

  bool FAsmStart = false;
};
