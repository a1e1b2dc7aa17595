#pragma once
// VBScript source to coloured RTF: the Visual Basic scanner with the
// VBScript keywords; a character no rule names is an identifier.

#include "syntax/hltVB.h"

class ThltVBScriptRTF : public ThltBasicScannerRTF {
 public:
  ThltVBScriptRTF();
  std::string ClassName() const override { return "ThltVBScriptRTF"; }
  /// The keyword list (44 words) and its hash table (134 entries).
  static const ThltKeywordTable& Keywords();
};
