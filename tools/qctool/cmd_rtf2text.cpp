// qctool rtf2text FILE: the plain text the rich-text view shows for an RTF
// file, one line per paragraph, UTF-8 with LF after each line: the window's
// comparison text itself (a NUL in a topic shows as U+2400 there too).
#include "compare/ComparisonSession.h"
#include "qtbridge/QtText.h"
#include "tools/qctool/Command.h"

namespace {

int RunRtf2Text(const qctool::Args& args) {
  if (args.size() != 1) throw qctool::UsageError{"expected one file name"};
  const std::string bytes = qctool::ReadFileBytes(args[0]);
  // Lines hold no CR or LF of their own: each CR LF is a line end.
  const std::string crlf = RtfPlainTextCrLf(bytes, &qtbridge::CodePageToUtf8);
  std::string out;
  out.reserve(crlf.size());
  for (size_t i = 0; i < crlf.size(); ++i)
    if (crlf[i] != '\r' || i + 1 >= crlf.size() || crlf[i + 1] != '\n') out += crlf[i];
  qctool::WriteStdout(out);
  return 0;
}

const qctool::QctoolCommand kRegistration(
    {"rtf2text", "rtf2text FILE", "print the plain text of an RTF file as the rich-text view shows it",
     RunRtf2Text});

}  // namespace
