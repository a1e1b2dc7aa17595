// qctool textconv FILE: the project as text for git's diff.<driver>.textconv.
// One block per topic in file order: a header line "== <ID> <Title>" (what
// an xfuncname of "^== .*$" names each hunk by), a line per field that has
// a value, a blank line, the topic's plain text as the window compares it;
// then the other parts of the file (options, window definitions, contents,
// macros). UTF-8, LF after every line, the same bytes for the same file.
#include <string>

#include "compare/SelectedPair.h"
#include "document/QuillcrafterDoc.h"
#include "document/TopicFields.h"
#include "merge/Merge.h"
#include "qtbridge/QtText.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"
#include "tools/qctool/Command.h"

namespace {

std::string Utf8(std::string_view bytes) { return qtbridge::CodePageToUtf8(bytes, qtbridge::kAnsiCodePage); }

/// Text with any CR LF, CR or LF as one LF, ending with LF unless empty.
std::string LfLines(std::string_view text) {
  std::string out = LfLineEnds(text);
  if (!out.empty() && out.back() != '\n') out += '\n';
  return out;
}

/// A value on one line: its line ends shown as " / ".
std::string OneLine(std::string_view value) {
  std::string lines = LfLines(value);
  if (!lines.empty()) lines.pop_back();
  std::string out;
  for (char c : lines) out += c == '\n' ? std::string(" / ") : std::string(1, c);
  return out;
}

void TopicBlock(const TQCTopic& topic, std::string& out) {
  out += "== " + std::to_string(topic.TopicID()) + " " + OneLine(Utf8(topic.Title())) + "\n";
  for (const TTopicField& field : TopicFields()) {
    if (field.Kind == TFieldKind::Text || !field.Value) continue;
    if (field.Name == "TopicID" || field.Name == "Title") continue;
    const std::string value = field.Value(topic);
    // A number of 0 or a flag that is off is a field left unset.
    if (value.empty() || (!field.Bytes && (value == "0" || value == "no"))) continue;
    out += std::string(field.Name) + ": " + OneLine(field.Bytes ? Utf8(value) : value) + "\n";
  }
  out += "\n" + LfLines(RtfPlainTextCrLf(topic.WholeText(), &qtbridge::CodePageToUtf8)) + "\n";
}

/// The parts besides the topics, as the merge sees them: each option,
/// list and macro that differs from a new project's, in the merge's order.
void OtherParts(const TQuillcrafterDoc& doc, std::string& out) {
  const TQuillcrafterDoc empty;
  const TMergePlan plan = PlanMerge(empty, doc, empty, TTopicMatchMode::tmByID, &qtbridge::CodePageToUtf8);
  for (const TMergeDecision& d : plan.Decisions) {
    if (d.Level != TMergeLevel::Item || d.Values[1].empty()) continue;
    const std::string value = Utf8(d.Values[1]);
    std::string header = "== [" + d.Part + "]";
    if (!d.Name.empty()) header += " " + Utf8(d.Name);
    if (d.Part == "options" || d.Part == "text macros") {
      out += header + ": " + OneLine(value) + "\n";
    } else {
      out += header + "\n" + LfLines(value) + "\n";
    }
  }
}

int RunTextconv(const qctool::Args& args) {
  if (args.size() != 1) throw qctool::UsageError{"expected one file name (or - for standard input)"};
  const std::string name = args[0] == "-" ? "/dev/stdin" : args[0];
  // Pipes have no size and cannot seek: the whole file is read first.
  const std::string bytes = qctool::ReadFileBytes(name);
  TQuillcrafterDoc doc;
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  doc.LoadFromStream(stream);
  std::string out;
  for (int i = 0; i < doc.Topics().Count(); ++i) TopicBlock(*doc.Topics().Items(i), out);
  OtherParts(doc, out);
  qctool::WriteStdout(out);
  return 0;
}

const qctool::QctoolCommand kRegistration(
    {"textconv", "textconv FILE|-",
     "print a project as readable text for git diff (one block per topic, fields, plain text)",
     &RunTextconv});

}  // namespace
