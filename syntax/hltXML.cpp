#include "syntax/hltXML.h"

namespace {

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == ':' || c == '_';
}

bool IsControl(char c) { return static_cast<unsigned char>(c) < 33; }

}  // namespace

// A NUL byte inside the text becomes a white-space token: XML has no Unknown class.
ThltXMLRTF::ThltXMLRTF() : ThltScannerRTF(tkNull, tkSpace, tkSpace) {
  FRange = rsText;
  SetDefaultColors();
}

void ThltXMLRTF::SetDefaultColors() {
  SetColors({clGreen, clMaroon, clBlack, clBlue, clBlack, clGreen, clBlue, clBlack, clRed, clBlack, clBlack});
}

bool ThltXMLRTF::Follows(size_t pos, std::string_view text) const {
  for (char c : text) {
    if (At(pos++) != c) return false;  // stops at the NUL at the latest
  }
  return true;
}

void ThltXMLRTF::Next() {
  FTokenPos = FRun;
  const char c = At(FRun);
  switch (FRange) {
    case rsComment:
      if (IsLineEnd(c))
        ControlProc();
      else
        CommentProc();
      break;
    case rsProcessingInstruction:
      if (IsLineEnd(c))
        ControlProc();
      else
        ProcessingInstructionProc();
      break;
    case rsCDATA:
      if (IsLineEnd(c))
        ControlProc();
      else
        CDATAProc();
      break;
    case rsDOCTYPE:
    case rsDOCTYPESubset:
      if (IsLineEnd(c))
        ControlProc();
      else
        DOCTYPEProc();
      break;
    default:
      if (c == '<') {
        MarkupOpenerProc();
      } else if (IsControl(c)) {
        ControlProc();
      } else if (c == '>') {
        Take(tkSymbol);
        FRange = rsText;
      } else {
        StateProc();
      }
  }
  EnsureProgress();
}

// Line ends and the end of the text as usual; other characters below 33 form
// a white-space run that also stops at a tab.
void ThltXMLRTF::ControlProc() {
  if (LineEndOrNullProc()) return;
  FTokenID = tkSpace;
  do ++FRun;
  while (IsSpace(At(FRun)) && At(FRun) != '\t');
}

void ThltXMLRTF::MarkupOpenerProc() {
  ++FRun;
  if (At(FRun) == '/') ++FRun;
  if (At(FRun) == '!') {
    if (Follows(FRun + 1, "--")) {
      Take(tkSymbol, 3);
      FRange = rsComment;
    } else if (Follows(FRun + 1, "DOCTYPE")) {
      Take(tkDOCTYPE, 8);
      FRange = rsDOCTYPE;
    } else if (Follows(FRun + 1, "[CDATA[")) {
      Take(tkCDATA, 8);
      FRange = rsCDATA;
    } else {
      Take(tkSymbol);
      FRange = rsElementName;
    }
  } else if (At(FRun) == '?') {
    Take(tkProcessingInstruction);
    FRange = rsProcessingInstruction;
  } else {
    FTokenID = tkSymbol;
    FRange = rsElementName;
  }
}

// Up to before a character below 33, or up to and including ';'.
void ThltXMLRTF::EntityProc(uint8_t id, uint8_t nextRange) {
  FTokenID = id;
  FRange = nextRange;
  ++FRun;
  while (!IsControl(At(FRun)) && At(FRun) != ';') ++FRun;
  if (At(FRun) == ';') ++FRun;
}

// An attribute value up to before its closing quote, an entity reference or a line end.
void ThltXMLRTF::ValueProc(char quote, bool ns) {
  const uint8_t valueRange =
      quote == '"' ? (ns ? rsnsQuoteValue : rsQuoteValue) : (ns ? rsnsAposValue : rsAposValue);
  const uint8_t entityRange =
      quote == '"' ? (ns ? rsnsQuoteEntity : rsQuoteEntity) : (ns ? rsnsAposEntity : rsAposEntity);
  const uint8_t entityID = quote == '"' ? (ns ? tknsQuoteEntityRef : tkQuoteEntityRef)
                                        : (ns ? tknsAposEntityRef : tkAposEntityRef);
  if (At(FRun) == '&') {
    EntityProc(entityID, valueRange);
    return;
  }
  if (At(FRun) == quote) {  // an empty value: the closing quote follows at once
    Take(tkSymbol);
    FRange = rsAttributeName;
    return;
  }
  FTokenID = quote == '"' ? (ns ? tknsQuoteAttrValue : tkQuoteAttrValue)
                          : (ns ? tknsAposAttrValue : tkAposAttrValue);
  while (!IsLineEnd(At(FRun)) && At(FRun) != quote && At(FRun) != '&') ++FRun;
  if (At(FRun) == quote)
    FRange = rsAttributeName;
  else if (At(FRun) == '&')
    FRange = entityRange;
}

void ThltXMLRTF::StateProc() {
  const char c = At(FRun);
  switch (FRange) {
    case rsText:
      if (c == '&') {
        EntityProc(tkEntityRef, rsText);
      } else {
        FTokenID = tkText;
        while (At(FRun) != '<' && At(FRun) != '&' && static_cast<unsigned char>(At(FRun)) >= 32) ++FRun;
        if (At(FRun) == '&') FRange = rsTextEntity;
      }
      break;
    case rsTextEntity:
      EntityProc(tkEntityRef, rsText);
      break;
    case rsElementName:
      FTokenID = tkElement;
      if (c == '/') ++FRun;
      while (IsNameChar(At(FRun))) ++FRun;
      FRange = rsAttributeName;
      break;
    case rsAttributeName:
      if (IsNameChar(c)) {
        while (IsNameChar(At(FRun))) ++FRun;
        const bool ns =
            std::string_view(FLine + FTokenPos, FRun - FTokenPos).find("xmlns") != std::string_view::npos;
        FTokenID = ns ? tknsAttribute : tkAttribute;
        FRange = ns ? rsnsAfterName : rsAfterName;
      } else {
        // Closing quotes (and any other stray character) between attributes.
        Take(tkSymbol);
      }
      break;
    case rsAfterName:
    case rsnsAfterName: {
      const bool ns = FRange == rsnsAfterName;
      FTokenID = ns ? tknsEqual : tkEqual;
      while (!IsLineEnd(At(FRun))) {
        const char d = At(FRun++);
        if (d == '"') {
          FRange = ns ? rsnsQuoteValue : rsQuoteValue;
          break;
        }
        if (d == '\'') {
          FRange = ns ? rsnsAposValue : rsAposValue;
          break;
        }
        if (d == '/') {
          FTokenID = tkSymbol;
          FRange = rsElementName;
          break;
        }
      }
      break;
    }
    case rsQuoteValue:
      ValueProc('"', false);
      break;
    case rsnsQuoteValue:
      ValueProc('"', true);
      break;
    case rsAposValue:
      ValueProc('\'', false);
      break;
    case rsnsAposValue:
      ValueProc('\'', true);
      break;
    case rsQuoteEntity:
      EntityProc(tkQuoteEntityRef, rsQuoteValue);
      break;
    case rsnsQuoteEntity:
      EntityProc(tknsQuoteEntityRef, rsnsQuoteValue);
      break;
    case rsAposEntity:
      EntityProc(tkAposEntityRef, rsAposValue);
      break;
    case rsnsAposEntity:
      EntityProc(tknsAposEntityRef, rsnsAposValue);
      break;
    default:
      Take(tkText);
      FRange = rsText;
  }
}

void ThltXMLRTF::CommentProc() {
  if (Follows(FRun, "-->")) {
    Take(tkSymbol, 3);
    FRange = rsText;
    return;
  }
  FTokenID = tkComment;
  while (!IsLineEnd(At(FRun)) && !Follows(FRun, "-->")) ++FRun;
}

void ThltXMLRTF::ProcessingInstructionProc() { UntilCloserProc(tkProcessingInstruction, "?>", rsText); }

void ThltXMLRTF::CDATAProc() {
  FTokenID = tkCDATA;
  while (!IsLineEnd(At(FRun))) {
    if (At(FRun) == '>' && FRun > 0 && At(FRun - 1) == ']') {
      ++FRun;
      FRange = rsText;
      return;
    }
    ++FRun;
  }
}

// A DOCTYPE ends at the first '>' outside its internal subset ("[ ... ]").
void ThltXMLRTF::DOCTYPEProc() {
  FTokenID = tkDOCTYPE;
  while (!IsLineEnd(At(FRun))) {
    const char c = At(FRun++);
    if (c == '[') {
      FRange = rsDOCTYPESubset;
    } else if (c == ']') {
      FRange = rsDOCTYPE;
    } else if (c == '>' && FRange == rsDOCTYPE) {
      FRange = rsAttributeName;
      return;
    }
  }
}

int ThltXMLRTF::GetTokenKind() {
  switch (FTokenID) {
    case tkNull:
    case tkElement:
    case tkEntityRef:
      return 1;
    case tkAttribute:
    case tkQuoteEntityRef:
      return 2;
    case tkAposEntityRef:
    case tknsAttribute:
      return 3;
    case tkEqual:
    case tknsQuoteEntityRef:
      return 4;
    case tknsAposEntityRef:
    case tknsEqual:
      return 5;
    case tkProcessingInstruction:
    case tkQuoteAttrValue:
      return 6;
    case tkComment:
    case tkAposAttrValue:
      return 7;
    case tknsQuoteAttrValue:
    case tkDOCTYPE:
      return 8;
    case tkSymbol:
    case tknsAposAttrValue:
      return 9;
    case tkText:
    case tkSpace:
      return 10;
    default:  // CDATA
      return 11;
  }
}

std::string ThltXMLRTF::FormatToken(int kind, const std::string& token) {
  size_t first = 0;
  while (first < token.size() && static_cast<unsigned char>(token[first]) <= 32) ++first;
  if (token.size() - first >= 2 && token[first] == '/' && token[first + 1] == '/')
    kind = 2;
  else if (kind == 10 && !token.empty() && token[0] == '"')
    kind = 6;
  return ThltRTFSyntax::FormatToken(kind, token);
}
