#pragma once
// XML to coloured RTF: a markup state machine (text, entity references, tags
// with their attributes and values, comments, processing instructions, CDATA
// sections and DOCTYPE declarations) carried from token to token and from one
// text to the next.

#include "syntax/hltScanner.h"

class ThltXMLRTF : public ThltScannerRTF {
 public:
  enum TTokenKind : uint8_t {
    tkNull,
    tkElement,
    tkAttribute,
    tkText,
    tkCDATA,
    tkEntityRef,
    tkProcessingInstruction,
    tkComment,
    tkQuoteAttrValue,
    tkAposAttrValue,
    tkQuoteEntityRef,
    tkAposEntityRef,
    tkSymbol,
    tkSpace,
    tkEqual,
    tknsAttribute,
    tknsQuoteAttrValue,
    tknsAposAttrValue,
    tknsQuoteEntityRef,
    tknsAposEntityRef,
    tknsEqual,
    tkDOCTYPE
  };
  enum TRangeState : uint8_t {
    rsText,
    rsTextEntity,
    rsElementName,
    rsAttributeName,
    rsAfterName,
    rsnsAfterName,
    rsQuoteValue,
    rsnsQuoteValue,
    rsAposValue,
    rsnsAposValue,
    rsQuoteEntity,
    rsnsQuoteEntity,
    rsAposEntity,
    rsnsAposEntity,
    rsComment,
    rsProcessingInstruction,
    rsCDATA,
    rsDOCTYPE,
    rsDOCTYPESubset  // inside the '[' ... ']' of a DOCTYPE, where '>' does not end it
  };

  ThltXMLRTF();
  std::string ClassName() const override { return "ThltXMLRTF"; }
  void Next() override;
  int GetTokenKind() override;
  std::string FormatToken(int kind, const std::string& token) override;
  void SetDefaultColors() override;

 private:
  void ControlProc();
  void MarkupOpenerProc();
  void StateProc();
  void EntityProc(uint8_t id, uint8_t nextRange);
  void ValueProc(char quote, bool ns);
  void CommentProc();
  void ProcessingInstructionProc();
  void CDATAProc();
  void DOCTYPEProc();
  bool Follows(size_t pos, std::string_view text) const;
};
