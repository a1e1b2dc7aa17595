#pragma once
// JScript source to coloured RTF (plain colours, no bold or italic).

#include "syntax/hltScanner.h"

class ThltJScriptRTF : public ThltScannerRTF {
 public:
  enum TTokenKind : uint8_t {
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
  enum TRangeState : uint8_t { rsNormal, rsBlockComment };

  ThltJScriptRTF();
  std::string ClassName() const override { return "ThltJScriptRTF"; }
  void Next() override;
  int GetTokenKind() override;
  void SetDefaultColors() override;

  /// The keyword list (248 entries, 240 words ignoring case) and its hash table (253 entries).
  static const ThltKeywordTable& Keywords();

 private:
  void Scan();
  void BlockCommentProc();
};
