#pragma once
// Documents for the merge tests: topics whose bodies are written as the
// rich-edit control writes them, copies through the file format, and the
// merge run in memory.

#include <string>
#include <vector>

#include "document/QuillcrafterDoc.h"
#include "merge/Merge.h"
#include "richtext/RtfPlainText.h"
#include "tests/document/DocTestUtil.h"
#include "toolkit/Unicode.h"

namespace mergetest {

using doctest_util::LoadBytes;
using doctest_util::SaveBytes;

/// A body of RTF lines: the header, one line per paragraph, the closing.
inline std::vector<std::string> Body(const std::vector<std::string>& paragraphs) {
  std::vector<std::string> lines = {
      "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil Arial;}}",
      "\\viewkind4\\uc1\\pard\\f0\\fs20 Topic\\par"};
  for (const std::string& p : paragraphs) lines.push_back(p + "\\par");
  lines.push_back("\\par }");
  return lines;
}

inline TQCTopic* Topic(TQuillcrafterDoc& doc, int32_t id, const std::string& title,
                       const std::vector<std::string>& paragraphs, const std::string& keywords = "") {
  TQCTopic* topic = doc.Topics().IndexOfTopicID(id) >= 0 ? doc.Topics().Items(doc.Topics().IndexOfTopicID(id))
                                                         : doctest_util::AddTopic(doc, id, title);
  topic->SetTitle(title);
  TStringList text;
  for (const std::string& line : Body(paragraphs)) text.Add(line);
  topic->SetText(text);
  topic->SetKeywords(keywords);
  return topic;
}

inline TQCTopic* Find(const TQuillcrafterDoc& doc, int32_t id) {
  const int index = doc.Topics().IndexOfTopicID(id);
  return index >= 0 ? doc.Topics().Items(index) : nullptr;
}

/// A copy of Source through its file bytes.
inline void CopyDoc(TQuillcrafterDoc& source, TQuillcrafterDoc& target) {
  LoadBytes(target, SaveBytes(source));
}

/// The bytes of a test decoder: Windows-1252 as Latin-1 is near enough here.
inline std::string Latin1(std::string_view bytes, int) { return unicode::Latin1ToUtf8(bytes); }

/// The lines a topic's text shows.
inline std::vector<std::string> Shown(const TQCTopic& topic) {
  return RtfToPlainTextLines(topic.WholeText(), &Latin1);
}

/// The lines a body of these paragraphs shows.
inline std::vector<std::string> ShownBody(const std::vector<std::string>& paragraphs) {
  std::string rtf;
  for (const std::string& line : Body(paragraphs)) rtf += line + "\r\n";
  return RtfToPlainTextLines(rtf, &Latin1);
}

struct Merged {
  TMergePlan Plan;
  TQuillcrafterDoc Result;
};

inline void Merge(const TQuillcrafterDoc& base, const TQuillcrafterDoc& ours, const TQuillcrafterDoc& theirs,
                  Merged& out, TMergeResolution take = TMergeResolution::Unresolved,
                  TTopicMatchMode mode = TTopicMatchMode::tmByID) {
  out.Plan = PlanMerge(base, ours, theirs, mode, &Latin1);
  if (take != TMergeResolution::Unresolved) out.Plan.ResolveAll(take);
  ApplyMerge(out.Plan, out.Result);
}

}  // namespace mergetest
