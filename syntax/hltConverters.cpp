#include "syntax/hltConverters.h"

#include "syntax/hltCPlusPlus.h"
#include "syntax/hltDFM.h"
#include "syntax/hltJScript.h"
#include "syntax/hltPas.h"
#include "syntax/hltSQL.h"
#include "syntax/hltVB.h"
#include "syntax/hltVBScript.h"
#include "syntax/hltXML.h"
#include "toolkit/SysUtils.h"

namespace {

template <class TConverter>
std::unique_ptr<ThltRTFSyntax> Make() {
  return std::make_unique<TConverter>();
}

// Each language's short name and converter, in the order of TSyntaxType.
struct TLanguage {
  const char* Name;
  std::unique_ptr<ThltRTFSyntax> (*Create)();
};
constexpr TLanguage kLanguages[SyntaxTypeCount] = {
    {"cplusplus", Make<ThltCppRTF>}, {"dfm", Make<ThltDFMRTF>},   {"jscript", Make<ThltJScriptRTF>},
    {"sql", Make<ThltSQLRTF>},       {"vb", Make<ThltVBRTF>},     {"vbscript", Make<ThltVBScriptRTF>},
    {"xml", Make<ThltXMLRTF>},       {"delphi", Make<ThltPasRTF>}};

// A value outside the list (a damaged stored ordinal) counts as the Pascal default.
const TLanguage& Language(TSyntaxType syntaxType) {
  const int index = static_cast<int>(syntaxType);
  return kLanguages[index >= 0 && index < SyntaxTypeCount ? index : stDelphi];
}

}  // namespace

std::unique_ptr<ThltRTFSyntax> CreateSyntaxConverter(TSyntaxType syntaxType) {
  return Language(syntaxType).Create();
}

std::string SyntaxTypeName(TSyntaxType syntaxType) { return Language(syntaxType).Name; }

bool SyntaxTypeFromName(std::string_view name, TSyntaxType& syntaxType) {
  for (int i = 0; i < SyntaxTypeCount; ++i) {
    if (SameText(name, kLanguages[i].Name)) {
      syntaxType = static_cast<TSyntaxType>(i);
      return true;
    }
  }
  return false;
}
