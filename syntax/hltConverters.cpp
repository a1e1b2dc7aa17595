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

constexpr const char* kNames[SyntaxTypeCount] = {"cplusplus", "dfm",      "jscript", "sql",
                                                 "vb",        "vbscript", "xml",     "delphi"};

}  // namespace

std::unique_ptr<ThltRTFSyntax> CreateSyntaxConverter(TSyntaxType syntaxType) {
  switch (syntaxType) {
    case stCPlusPlus:
      return std::make_unique<ThltCppRTF>();
    case stDFM:
      return std::make_unique<ThltDFMRTF>();
    case stJScript:
      return std::make_unique<ThltJScriptRTF>();
    case stSQL:
      return std::make_unique<ThltSQLRTF>();
    case stVB:
      return std::make_unique<ThltVBRTF>();
    case stVBScript:
      return std::make_unique<ThltVBScriptRTF>();
    case stXML:
      return std::make_unique<ThltXMLRTF>();
    case stDelphi:
      break;
  }
  return std::make_unique<ThltPasRTF>();
}

std::string SyntaxTypeName(TSyntaxType syntaxType) {
  const int index = static_cast<int>(syntaxType);
  return index >= 0 && index < SyntaxTypeCount ? kNames[index] : kNames[stDelphi];
}

bool SyntaxTypeFromName(std::string_view name, TSyntaxType& syntaxType) {
  for (int i = 0; i < SyntaxTypeCount; ++i) {
    if (SameText(name, kNames[i])) {
      syntaxType = static_cast<TSyntaxType>(i);
      return true;
    }
  }
  return false;
}
