#pragma once
// Pascal source to coloured RTF: comments italic, keywords bold, the text of
// asm blocks in a colour of its own, and the property-only keywords (read,
// write, ...) recognised only inside a property declaration.

#include "syntax/hltScanner.h"

class ThltPasRTF : public ThltScannerRTF {
 public:
  enum TTokenKind : uint8_t {
    tkAsm,
    tkComment,
    tkIdentifier,
    tkKey,
    tkNull,
    tkNumber,
    tkSpace,
    tkString,
    tkSymbol,
    tkUnknown
  };
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
  std::string FormatToken(int kind, const std::string& token) override {
    return StyledPiece(kind, token, 1, 3);
  }
  int GetTokenKind() override;
  void SetDefaultColors() override;

  /// The keyword list and its hash table (192 entries).
  static const ThltKeywordTable& Keywords();

 private:
  void Scan();
  void BraceCommentProc();
  void AnsiCommentProc();
  void IdentProc();

  bool FAsmStart = false;
};
