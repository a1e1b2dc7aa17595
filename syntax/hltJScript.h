#pragma once
// JScript source to coloured RTF (plain colours, no bold or italic).

#include "syntax/hltScanner.h"

class ThltJScriptRTF : public ThltStandardScannerRTF {
 public:
  enum TRangeState : uint8_t { rsNormal, rsBlockComment };

  ThltJScriptRTF();
  std::string ClassName() const override { return "ThltJScriptRTF"; }
  void Next() override;

  /// The keyword list (248 entries, 240 words ignoring case) and its hash table (253 entries).
  static const ThltKeywordTable& Keywords();

 private:
  void Scan();
};
