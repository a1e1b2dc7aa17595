#pragma once
// Form-description text to coloured RTF: "object" and "end" bold, brace
// comments italic.

#include "syntax/hltScanner.h"

class ThltDFMRTF : public ThltScannerRTF {
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
  enum TRangeState : uint8_t { rsNormal, rsBraceComment };

  ThltDFMRTF();
  std::string ClassName() const override { return "ThltDFMRTF"; }
  void Next() override;
  int GetTokenKind() override;
  std::string FormatToken(int kind, const std::string& token) override;
  /// Installs the first seven default colours (the constructor installs all eight).
  void SetDefaultColors() override;

 private:
  void Scan();
  void IdentProc();
  void NumberProc();
};
