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

}  // namespace qcbench
