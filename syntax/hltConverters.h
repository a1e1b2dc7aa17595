#pragma once
// One place that knows every converter: make the converter of a language,
// and the short language names the command line uses.

#include <memory>
#include <string>
#include <string_view>

#include "syntax/hltRichSyntax.h"
#include "syntax/hltSyntaxType.h"

/// A new converter for the language, with its default colours.
std::unique_ptr<ThltRTFSyntax> CreateSyntaxConverter(TSyntaxType syntaxType);

/// "cplusplus", "dfm", "jscript", "sql", "vb", "vbscript", "xml" or "delphi".
std::string SyntaxTypeName(TSyntaxType syntaxType);
/// The language of a short name (any letter case); false for an unknown name.
bool SyntaxTypeFromName(std::string_view name, TSyntaxType& syntaxType);
