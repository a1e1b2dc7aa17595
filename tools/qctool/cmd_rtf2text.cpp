// qctool rtf2text FILE: the plain text the rich-text view shows for an RTF
// file, one line per paragraph, UTF-8 with LF after each line.
#include "qtbridge/QtText.h"
#include "richtext/RtfPlainText.h"
#include "tools/qctool/Command.h"

namespace {

int RunRtf2Text(const qctool::Args& args) {
  if (args.size() != 1) throw qctool::UsageError{"expected one file name"};
  const std::string bytes = qctool::ReadFileBytes(args[0]);
  std::string out;
  for (const std::string& line : RtfToPlainTextLines(bytes, &qtbridge::CodePageToUtf8)) {
    out += line;
    out += '\n';
  }
  qctool::WriteStdout(out);
  return 0;
}

const qctool::QctoolCommand kRegistration(
    {"rtf2text", "rtf2text FILE", "print the plain text of an RTF file as the rich-text view shows it",
     RunRtf2Text});

}  // namespace
