#pragma once
// Visual Basic source to coloured RTF (plain colours, no bold or italic).
// The VBScript converter shares this scanner with its own keyword list.

#include "syntax/hltScanner.h"

/// The scanner common to Visual Basic and VBScript; they differ in their
/// keywords and in what an unnamed character becomes.
class ThltBasicScannerRTF : public ThltStandardScannerRTF {
 public:
  void Next() override;

 protected:
  ThltBasicScannerRTF(const ThltKeywordTable& keywords, uint8_t otherCharacterID);

 private:
  const ThltKeywordTable& FKeywords;
  const uint8_t FOtherCharacterID;
};

class ThltVBRTF : public ThltBasicScannerRTF {
 public:
  ThltVBRTF();
  std::string ClassName() const override { return "ThltVBRTF"; }
  /// The keyword list (214 words) and its hash table (134 entries).
  static const ThltKeywordTable& Keywords();
};
