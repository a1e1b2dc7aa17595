// qctool highlight LANG FILE: the file's source text as colour-coded RTF on stdout.
#include "syntax/hltConverters.h"
#include "tools/qctool/Command.h"

namespace {

int RunHighlight(const qctool::Args& args) {
  if (args.size() != 2) throw qctool::UsageError{"highlight needs a language and a file"};
  TSyntaxType syntaxType;
  if (!SyntaxTypeFromName(args[0], syntaxType))
    throw qctool::UsageError{"unknown language '" + args[0] +
                             "' (cplusplus, dfm, jscript, sql, vb, vbscript, xml, delphi)"};
  const std::string source = qctool::ReadFileBytes(args[1]);
  auto converter = CreateSyntaxConverter(syntaxType);
  converter->SetText(source);
  qctool::WriteStdout(converter->GetRTF());
  return 0;
}

const qctool::QctoolCommand kHighlight(
    {"highlight", "highlight LANG FILE",
     "source file as colour-coded RTF (LANG: cplusplus, dfm, jscript, sql, "
     "vb, vbscript, xml, delphi)",
     RunHighlight});

}  // namespace
