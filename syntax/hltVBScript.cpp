#include "syntax/hltVBScript.h"

namespace {

const std::vector<std::string_view> kVBScriptKeywords = {
    "And",      "Byref",  "Byval",  "Call", "Case",    "Class",    "Const",  "Dim",       "Do",
    "Each",     "Else",   "End",    "Eqv",  "Erase",   "Error",    "Exit",   "Explicit",  "For",
    "Function", "Get",    "If",     "Imp",  "Is",      "Let",      "Loop",   "Mod",       "Next",
    "Not",      "On",     "Option", "Or",   "Private", "property", "Public", "Randomize", "ReDim",
    "Rem",      "Select", "Set",    "Sub",  "Then",    "Wend",     "While",  "Xor"};

}  // namespace

const ThltKeywordTable& ThltVBScriptRTF::Keywords() {
  static const ThltKeywordTable table(kVBScriptKeywords, CaseInsensitiveHashValues(), false);
  return table;
}

ThltVBScriptRTF::ThltVBScriptRTF() : ThltBasicScannerRTF(Keywords(), tkIdentifier) {}
