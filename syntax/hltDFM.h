#pragma once
// Form-description text to coloured RTF: "object" and "end" bold, brace
// comments italic.

#include "syntax/hltScanner.h"

class ThltDFMRTF : public ThltStandardScannerRTF {
 public:
  enum TRangeState : uint8_t { rsNormal, rsBraceComment };

  ThltDFMRTF();
  std::string ClassName() const override { return "ThltDFMRTF"; }
  void Next() override;
  /// Installs the first seven default colours (the constructor installs all eight).
  void SetDefaultColors() override;

 private:
  void Scan();
  void IdentProc();
  void NumberProc();
};
