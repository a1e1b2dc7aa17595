// qctool resave IN OUT: loads a project file and saves it again, as the
// comparison window's "Save As..." would. OUT "-" is standard output as it
// is open. What the file holds after the end of the project is named on
// standard error: it is not saved again.
#include <cstdio>

#include "document/QuillcrafterDoc.h"
#include "tools/qctool/Command.h"

namespace {

int RunResave(const qctool::Args& args) {
  if (args.size() != 2) throw qctool::UsageError{"expected an input and an output file"};
  TQuillcrafterDoc document;
  document.LoadFromFile(args[0]);
  for (const std::string& warning : document.LoadWarnings())
    std::fprintf(stderr, "qctool: %s: %s\n", args[0].c_str(), warning.c_str());
  document.SaveToFile(args[1] == "-" ? "/dev/stdout" : args[1]);
  return 0;
}

const qctool::QctoolCommand kResave({"resave", "resave IN OUT", "load a project file and save it again",
                                     &RunResave});

}  // namespace
