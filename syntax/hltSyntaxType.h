#pragma once
// The source languages the syntax colouring knows. Kept in a header of its
// own, free of any other dependency, because the document's text macros
// store a language with each macro.

#include <cstdint>

/// The eight source languages, in their stored order (text macros write the ordinal).
enum TSyntaxType : uint8_t { stCPlusPlus, stDFM, stJScript, stSQL, stVB, stVBScript, stXML, stDelphi };

inline constexpr int SyntaxTypeCount = 8;
