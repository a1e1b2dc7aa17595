// qctool resave IN OUT: loads a project file and saves it again, as the
// comparison window's "Save As..." would.
#include "document/QuillcrafterDoc.h"
#include "tools/qctool/Command.h"

namespace {

int RunResave(const qctool::Args& args) {
  if (args.size() != 2) throw qctool::UsageError{"expected an input and an output file"};
  TQuillcrafterDoc document;
  document.LoadFromFile(args[0]);
  document.SaveToFile(args[1]);
  return 0;
}

const qctool::QctoolCommand kResave({"resave", "resave IN OUT", "load a project file and save it again",
                                     &RunResave});

}  // namespace
