// qctool diff: the line difference engine on two files, one line per
// result row: kind 1, kind 2, text 1, text 2, separated by tabs. The texts
// are the raw lines, bytes passed through unchanged; a filler is one blank.
// With --words, a row changed on both sides is followed by a line per side
// with changes inside it: "#", the side, then start:length of each span
// (bytes into that side's text), separated by commas.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "diff/dvDiffEngine.h"
#include "toolkit/SysUtils.h"
#include "tools/qctool/Command.h"

namespace {

struct OptionName {
  const char* name;
  TdvDiffOption option;
};

constexpr OptionName kOptionNames[] = {
    {"case-sensitive", fdoCaseSensitive},
    {"ignore-characters", fdoIgnoreCharacters},
    {"ignore-trailing", fdoIgnoreTrailingWhiteSpace},
    {"ignore-leading", fdoIgnoreLeadingWhiteSpace},
};

/// "case-sensitive,ignore-leading" -> the option set; an empty list is the empty set.
TdvDiffOptions ParseOptions(const std::string& list) {
  TdvDiffOptions options;
  size_t pos = 0;
  while (pos < list.size()) {
    size_t end = list.find(',', pos);
    if (end == std::string::npos) end = list.size();
    const std::string name = Trim(std::string_view(list).substr(pos, end - pos));
    bool known = false;
    for (const auto& entry : kOptionNames) {
      if (name == entry.name) {
        options.Include(entry.option);
        known = true;
      }
    }
    if (!known)
      throw qctool::UsageError{
          "unknown option '" + name +
          "' (known: case-sensitive, ignore-characters, ignore-trailing, ignore-leading)"};
    pos = end + 1;
  }
  return options;
}

/// The engine's text ends at a NUL byte (the window never hands it one);
/// here the user is told that the rest of the file takes no part.
void WarnAboutNul(const std::string& fileName, const std::string& text) {
  const size_t nul = text.find('\0');
  if (nul == std::string::npos) return;
  // Lines counted as the engine splits them: CR LF, lone CR and lone LF.
  long long line = 1;
  for (size_t i = 0; i < nul; ++i)
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= nul || text[i + 1] != '\n'))) ++line;
  std::fprintf(stderr, "%s: text after the NUL byte at line %lld is not compared\n", fileName.c_str(), line);
}

int RunDiff(const qctool::Args& args) {
  std::string files[2];
  int fileCount = 0;
  int depth = 3;
  TdvDiffOptions options = kMainWindowDiffOptions;
  bool words = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--words") {
      words = true;
    } else if (arg == "--depth" || arg == "--options") {
      if (i + 1 >= args.size()) throw qctool::UsageError{arg + " needs a value"};
      const std::string& value = args[++i];
      if (arg == "--options") {
        options = ParseOptions(value);
      } else if (!TryStrToInt(value, depth) || depth < 1 || depth > 99) {
        throw qctool::UsageError{"--depth must be a whole number from 1 to 99, not '" + value + "'"};
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw qctool::UsageError{"unknown switch '" + arg + "'"};
    } else {
      if (fileCount == 2) throw qctool::UsageError{"too many files"};
      files[fileCount++] = arg;
    }
  }
  if (fileCount != 2) throw qctool::UsageError{"two files are needed"};

  TdvDiffEngine engine;
  engine.SetMatchDepth(depth);
  engine.SetDiffOptions(options);
  const std::string text1 = qctool::ReadFileBytes(files[0]);
  const std::string text2 = qctool::ReadFileBytes(files[1]);
  WarnAboutNul(files[0], text1);
  WarnAboutNul(files[1], text2);
  engine.CompareStrings(text1, text2);

  // Spans cost a comparison per changed row: worked out only when asked for.
  const std::vector<TdvDiffRow>& rows = words ? engine.Rows() : engine.LineRows();
  // A filler prints as the one blank it has always printed as.
  auto text = [](TdvDiffKind kind, std::string_view line) {
    return kind == dkFiller ? std::string_view(" ") : line;
  };
  // One buffer of the exact size: the output of long texts runs to megabytes.
  size_t size = 0;
  for (const TdvDiffRow& row : rows) size += row.Text1.size() + row.Text2.size() + 10;
  std::string out;
  out.reserve(size);
  for (const TdvDiffRow& row : rows) {
    out += IntToStr(row.Kind1);
    out += '\t';
    out += IntToStr(row.Kind2);
    out += '\t';
    out += text(row.Kind1, row.Text1);
    out += '\t';
    out += text(row.Kind2, row.Text2);
    out += '\n';
    if (words && row.Kind1 == dkChanged && row.Kind2 == dkChanged) {
      for (const std::vector<TdvSpan>* spans : {&row.Spans1, &row.Spans2}) {
        if (spans->empty()) continue;
        out += spans == &row.Spans1 ? "#\t1\t" : "#\t2\t";
        for (const TdvSpan& span : *spans) {
          if (&span != &spans->front()) out += ',';
          out += IntToStr(span.Start) + ':' + IntToStr(span.Length);
        }
        out += '\n';
      }
    }
  }
  qctool::WriteStdout(out);
  return 0;
}

const qctool::QctoolCommand kDiffCommand(
    {"diff", "diff FILE1 FILE2 [--depth N] [--options LIST] [--words]",
     "align two texts line by line (kind1 TAB kind2 TAB text1 TAB text2)", RunDiff});

}  // namespace
