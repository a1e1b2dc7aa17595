#pragma once
// SQL source to coloured RTF: comments italic, keywords bold. White space and
// line ends are coloured as symbols.

#include "syntax/hltScanner.h"

class ThltSQLRTF : public ThltStandardScannerRTF {
 public:
  enum TRangeState : uint8_t { rsNormal, rsBlockComment };

  ThltSQLRTF();
  std::string ClassName() const override { return "ThltSQLRTF"; }
  void Next() override;

  /// The keyword list (126 words) and its hash table.
  static const ThltKeywordTable& Keywords();

 private:
  void Scan();
  void NumberProc();
};
