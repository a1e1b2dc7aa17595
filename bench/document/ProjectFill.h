#pragma once
// The generated projects of the document benchmarks and of gen_project_pair.
#include <string>

#include "document/QuillcrafterDoc.h"

namespace qcbench {

/// Count topics whose bodies are about 1.5 KB in 17 RTF lines. Variant 1 is
/// the other side of a pair: every seventh topic is retitled, every eleventh
/// has another text.
inline void Fill(TQuillcrafterDoc& doc, int variant, int count) {
  doc.Topics().BeginUpdate();
  for (int i = 0; i < count; ++i) {
    TQCTopic* topic = doc.Topics().Add();
    topic->SetTopicID(i + 1);
    const std::string title = "Topic number " + std::to_string((variant && i % 7 == 0) ? i + 100000 : i);
    topic->SetTitle(title);
    topic->SetKeywords("alpha;beta;gamma");
    TStringList text;
    text.Add("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil Arial;}}");
    text.Add("\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs32 " + title + "\\cf0\\b0\\fs20\\par");
    for (int line = 0; line < 14; ++line)
      text.Add("Body text of the topic, line " + std::to_string(line) +
               ", with \\b some\\b0  formatting and a \\{linkID=" + std::to_string(i % 977) + "\\}\\par");
    if (variant && i % 11 == 0) text.Add("An extra line in the other file.\\par");
    text.Add("\\par }");
    topic->SetText(text);
  }
  doc.Topics().EndUpdate();
}

/// One side of a merge triple (0 base, 1 ours, 2 theirs) over Fill's variant
/// 1: ours and theirs each add a line to one topic in 60 (different ones),
/// and to one in 600 a different line on each side, so a few hundred topics
/// change on each side and some of them conflict.
inline void FillTriple(TQuillcrafterDoc& doc, int side, int count) {
  Fill(doc, 1, count);
  const auto addLine = [](TQCTopic& topic, const std::string& words) {
    TStringList text;
    const TStrings& old = topic.Text();
    for (int i = 0; i < old.Count(); ++i) text.Add(old.Strings(i));
    // Before the closing line, so the text stays RTF.
    text.Insert(text.Count() > 1 ? text.Count() - 1 : text.Count(), words + "\\par");
    topic.SetText(text);
  };
  for (int i = 0; i < doc.Topics().Count(); ++i) {
    TQCTopic& topic = *doc.Topics().Items(i);
    if (side == 1 && i % 60 == 1) addLine(topic, "Ours added this line.");
    if (side == 2 && i % 60 == 31) addLine(topic, "Theirs added this line.");
    if (side > 0 && i % 600 == 7) addLine(topic, side == 1 ? "Ours says so." : "Theirs says otherwise.");
  }
}

}  // namespace qcbench
